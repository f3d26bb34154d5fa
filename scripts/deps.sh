#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the product need, only when some are missing.
# (openssl makes the tests' throwaway certificates, haproxy balances the three-server test, clang and its
# runtime build the fuzzers, curl probes servers in the test scripts.)
set -euo pipefail
PKGS=(g++ cmake ninja-build pkg-config libgtest-dev qt6-base-dev qt6-base-dev-tools
      libqt6sql6-sqlite libqt6sql6-psql libgl-dev libcpp-httplib-dev rapidjson-dev postgresql-15
      xvfb xauth fonts-dejavu-core imagemagick clang-format sqlite3 poppler-utils
      libssl-dev openssl curl haproxy clang libclang-rt-14-dev
      dpkg-dev file binutils)  # the last three: cpack -G DEB (dpkg-shlibdeps) and the nm/ldd checks
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
