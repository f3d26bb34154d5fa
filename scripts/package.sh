#!/usr/bin/env bash
# The release package: a Release build (optimised; warnings do not fail it) of what the package
# installs, then `cpack -G DEB`. The .deb lands in build-release/ (or $CTB_BUILD_DIR).
#   ./scripts/package.sh [extra cmake arguments]
#   sudo apt install ./build-release/ctb_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
BUILD_DIR=${CTB_BUILD_DIR:-build-release}
generator=()
[ -f "$BUILD_DIR/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S . -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DCTB_BUILD_TESTS=OFF "$@"
cmake --build "$BUILD_DIR" -j "$(nproc)" --target ctb-host ctb-server ctb-uiscript PKG_CTB10000
(cd "$BUILD_DIR" && cpack -G DEB)
ls -l "$BUILD_DIR"/*.deb
