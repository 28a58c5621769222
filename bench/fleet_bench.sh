#!/usr/bin/env bash
# Fleet jobs of zelpdev2k-cli against a plain copy of the same files, in one run:
#   bench/fleet_bench.sh [CLI] [FILES] [ROUNDS] [BENCH_CONVERT]
# prints seconds, files per second and the time as a multiple of "cp -r" followed by "sync"
# (the yardstick: the same bytes made durable) for "set --value" across the files, "convert
# --into" of as many 97 files, "import" of a sheet that makes as many files, and "export" of
# them (each in one process, the best of ROUNDS runs). The files lie in a new folder under
# $BENCH_DIR (default /tmp); BENCH_DIR=/dev/shm (no disk) shows the work itself. Every writer
# flushes what it wrote before it reports success, so the disk is part of each figure.
set -euo pipefail
cli=$(realpath "${1:-build/release/src/cli/zelpdev2k-cli}")
files=${2:-1000}
rounds=${3:-3}
writer=$(realpath "${4:-build/asan/bench/bench_convert}")
work=$(mktemp -d -p "${BENCH_DIR:-/tmp}")
trap 'rm -rf "$work"' EXIT
export ZELPDEV2K_REGISTRY="$work/none.reg"

"$cli" new "$work/seed.ats"
"$cli" set "$work/seed.ats" sHostName=seed.example sNormRows=43 sSessionTitle=Seed
mkdir "$work/fleet"
for i in $(seq -w 1 "$files"); do cp "$work/seed.ats" "$work/fleet/c$i.ats"; done
ASAN_OPTIONS=detect_leaks=0 "$writer" --write "$work/old" "$files" >/dev/null
"$cli" export "$work/fleet" >"$work/fleet.csv" 2>/dev/null
sync

now() { date +%s%N; }
best() { # the smallest of the arguments
    printf '%s\n' "$@" | sort -n | head -1
}
cpTimes=() setTimes=() convertTimes=() importTimes=() exportTimes=()
for round in $(seq 1 "$rounds"); do
    rm -rf "$work/copy" "$work/new" "$work/imported"
    sync
    t0=$(now)
    cp -r "$work/fleet" "$work/copy"
    sync
    t1=$(now)
    "$cli" set --value "sHostName=host$round.example" --value sHostPort=2323 "$work/fleet" \
        2>/dev/null
    t2=$(now)
    "$cli" convert --into "$work/new" "$work/old" 2>/dev/null
    t3=$(now)
    "$cli" import "$work/fleet.csv" --into "$work/imported" 2>/dev/null
    t4=$(now)
    "$cli" export "$work/fleet" >"$work/fleet2.csv" 2>/dev/null
    t5=$(now)
    cpTimes+=($((t1 - t0))) setTimes+=($((t2 - t1))) convertTimes+=($((t3 - t2)))
    importTimes+=($((t4 - t3))) exportTimes+=($((t5 - t4)))
done
rows=$(($(wc -l <"$work/fleet2.csv") - 1))
[ "$rows" -eq "$files" ] || { echo "export wrote $rows rows for $files files" >&2; exit 1; }
made=$(find "$work/new" -name '*.ats' | wc -l)
[ "$made" -eq "$files" ] || { echo "convert made $made files of $files" >&2; exit 1; }

cp_ns=$(best "${cpTimes[@]}")
report() { # name nanoseconds
    awk -v name="$1" -v ns="$2" -v cp="$cp_ns" -v n="$files" 'BEGIN {
        printf "%-24s %8.3f s %10.0f files/s %8.1f x cp+sync\n", name, ns / 1e9, n / (ns / 1e9), ns / cp }'
}
echo "$files files in $(df --output=fstype "$work" | tail -1), best of $rounds rounds"
report "cp -r + sync (yardstick)" "$cp_ns"
report "set --value (2 values)" "$(best "${setTimes[@]}")"
report "convert --into" "$(best "${convertTimes[@]}")"
report "import (new files)" "$(best "${importTimes[@]}")"
report "export" "$(best "${exportTimes[@]}")"
