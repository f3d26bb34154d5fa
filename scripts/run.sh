#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts the product.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
echo "Built. What exists so far:"
ls build/tools build/bench 2>/dev/null | sed 's/^/  /' || true
