#!/usr/bin/env bash
# Fleet jobs of zelpdev2k-cli against cp of the same files, in one run:
#   bench/fleet_bench.sh [CLI] [FILES] [ROUNDS]
# prints seconds, files per second and the time as a multiple of cp's for "set --value" across
# the files and "export" of them (each in one process, the best of ROUNDS runs). The files lie
# in a new folder under $BENCH_DIR (default /tmp). Each file that set writes is flushed to the
# disk before it replaces the old one, which cp does not do: on a slow disk the flush rules;
# BENCH_DIR=/dev/shm (no disk) shows the work itself.
set -euo pipefail
cli=$(realpath "${1:-build/release/src/cli/zelpdev2k-cli}")
files=${2:-1000}
rounds=${3:-3}
work=$(mktemp -d -p "${BENCH_DIR:-/tmp}")
trap 'rm -rf "$work"' EXIT

"$cli" new "$work/seed.ats"
"$cli" set "$work/seed.ats" sHostName=seed.example sNormRows=43 sSessionTitle=Seed
mkdir "$work/fleet"
for i in $(seq -w 1 "$files"); do cp "$work/seed.ats" "$work/fleet/c$i.ats"; done

now() { date +%s%N; }
best() { # the smallest of the arguments
    printf '%s\n' "$@" | sort -n | head -1
}
cpTimes=() setTimes=() exportTimes=()
for round in $(seq 1 "$rounds"); do
    rm -rf "$work/copy"
    t0=$(now)
    cp -r "$work/fleet" "$work/copy"
    t1=$(now)
    "$cli" set --value "sHostName=host$round.example" --value sHostPort=2323 "$work/fleet" \
        2>/dev/null
    t2=$(now)
    "$cli" export "$work/fleet" >"$work/fleet.csv" 2>/dev/null
    t3=$(now)
    cpTimes+=($((t1 - t0))) setTimes+=($((t2 - t1))) exportTimes+=($((t3 - t2)))
done
rows=$(($(wc -l <"$work/fleet.csv") - 1))
[ "$rows" -eq "$files" ] || { echo "export wrote $rows rows for $files files" >&2; exit 1; }

cp_ns=$(best "${cpTimes[@]}")
report() { # name nanoseconds
    awk -v name="$1" -v ns="$2" -v cp="$cp_ns" -v n="$files" 'BEGIN {
        printf "%-22s %8.3f s %10.0f files/s %8.1f x cp\n", name, ns / 1e9, n / (ns / 1e9), ns / cp }'
}
echo "$files files in $(df --output=fstype "$work" | tail -1), best of $rounds rounds"
report "cp -r (yardstick)" "$cp_ns"
report "set --value (2 values)" "$(best "${setTimes[@]}")"
report "export" "$(best "${exportTimes[@]}")"
