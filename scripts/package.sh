#!/usr/bin/env bash
# Builds the Debian package from the source tree into build/package/ (as root, or with sudo for
# the packages the build needs).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELP_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build/release -j2
rm -rf build/package
(cd build/release && cpack -G DEB -B "$PWD/../package" >/dev/null)
rm -rf build/package/_CPack_Packages
ls build/package/zelpdev2k_*.deb
