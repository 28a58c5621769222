#!/usr/bin/env bash
# Installs what is needed, builds with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test, then builds the Debian package and checks it; fails when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# A compiler cache left by an earlier build on this machine makes the two builds quick.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELP_SANITIZE=ON -DZELP_BUILD_BENCH=ON
cmake --build build/asan -j2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/asan --output-on-failure -j2
scripts/package-check.sh
