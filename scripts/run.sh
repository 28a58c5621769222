#!/usr/bin/env bash
# Installs what is needed, builds the designer and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELP_BUILD_TESTS=OFF
cmake --build build/release -j2
exec build/release/src/ui/zelpdev2k
