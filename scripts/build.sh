#!/usr/bin/env bash
# Configures and builds into build/ (or $CTB_BUILD_DIR), as the developers and CI build: warnings are
# errors (CTB_WERROR). Extra arguments go to cmake at configure time; the folder is configured again
# whenever they (or the build type) differ from the last run's, so `-DCTB_SANITIZE=ON` reaches an
# existing folder too. CTB_BUILD_TYPE picks the build type (default RelWithDebInfo).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${CTB_BUILD_DIR:-build}
args=(-DCMAKE_BUILD_TYPE="${CTB_BUILD_TYPE:-RelWithDebInfo}" -DCTB_WERROR=ON "$@")
stamp=$BUILD_DIR/.ctb-configure-args
wanted=$(printf '%s\n' "${args[@]}")
if [ ! -f "$BUILD_DIR/build.ninja" ] || [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$wanted" ]; then
    generator=()
    [ -f "$BUILD_DIR/CMakeCache.txt" ] || generator=(-G Ninja)
    cmake -S . -B "$BUILD_DIR" "${generator[@]}" "${args[@]}"
    printf '%s\n' "$wanted" >"$stamp"
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
