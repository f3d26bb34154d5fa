#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files -co --exclude-standard '*.cpp' '*.h' 2>/dev/null || true)
[ -z "$files" ] && exit 0
bad=$(echo "$files" | xargs clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
if [ "$bad" != "0" ]; then
    echo "clang-format: $bad places need formatting; run: git ls-files '*.cpp' '*.h' | xargs clang-format -i"
    echo "$files" | xargs clang-format --dry-run 2>&1 | head -20
    exit 1
fi
