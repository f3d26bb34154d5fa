#!/usr/bin/env bash
# The test command: installs what is missing, checks the formatting (first: it takes seconds, the build
# takes minutes), builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test (tests
# that need PostgreSQL start their own cluster).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/check-format.sh
export CTB_BUILD_DIR=${CTB_BUILD_DIR:-build-asan}
./scripts/build.sh -DCTB_SANITIZE=ON
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$CTB_BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" "$@"
