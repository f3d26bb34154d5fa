#!/usr/bin/env bash
# Configures and builds into build/ (or $CTB_BUILD_DIR). Extra arguments go to cmake at configure time.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${CTB_BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${CTB_BUILD_TYPE:-RelWithDebInfo} "$@"
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
