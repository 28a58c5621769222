#!/bin/bash
# Line coverage of src/ by the tests (or by the named tests only), through gcov and gcovr.
#   scripts/coverage.sh [--json OUT] [TEST...]
# Builds build/cov (no sanitizers, -O0 --coverage), runs the tests, prints the summary.
set -euo pipefail
cd "$(dirname "$0")/.."
json=
if [ "${1:-}" = --json ]; then json=$2; shift 2; fi
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
if [ ! -f build/cov/build.ninja ]; then
    cmake -S . -B build/cov -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS=--coverage \
        -DCMAKE_SHARED_LINKER_FLAGS=--coverage -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
fi
if [ $# -gt 0 ]; then
    # The companion's tests run the built programs.
    ninja -C build/cov -j2 "$@" zelpdev2k-cli zelpdev2k >/dev/null
else
    ninja -C build/cov -j2 >/dev/null
fi
find build/cov -name '*.gcda' -delete
# A child under a file size limit cannot write its counts; libgcov's complaint would
# otherwise reach the stderr the tests read.
export GCOV_ERROR_FILE=$PWD/build/cov/gcov-errors.txt
filter=()
if [ $# -gt 0 ]; then filter=(-R "^($(IFS='|'; echo "$*"))\$"); fi
ctest --test-dir build/cov -j2 --output-on-failure "${filter[@]}"
args=(-r . --object-directory build/cov --filter 'src/' --exclude-directories '.*/CMakeFiles/[0-9.]+' -j2 --print-summary)
if [ -n "$json" ]; then args+=(--json "$json"); fi
gcovr "${args[@]}" | tail -3
