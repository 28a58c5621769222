#!/usr/bin/env bash
# Start time and resident memory of the designer against a bare Qt widgets window built in
# the same tree, run alternately under Xvfb:
#   bench/startup.sh BUILD_DIR [RUNS]
# Start time: from the launch until the window is mapped. Memory: VmRSS one second after
# that. Each program then gets SIGTERM. Medians and the designer's ratios are printed.
set -euo pipefail
build=${1:?build directory}
runs=${2:-7}
designer=${DESIGNER:-$build/src/ui/zelpdev2k} # DESIGNER: another build to compare
bare=$build/bench/bench_barewindow
for exe in "$designer" "$bare"; do
    [ -x "$exe" ] || { echo "missing $exe" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$scratch"' EXIT
# A display of our own: Xvfb picks a free number and tells it.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$scratch/display")
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.05; done
# A fresh user: no remembered position, no registry file of one's own.
export HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_STATE_HOME=$scratch/state
unset QT_QPA_PLATFORM

now_ms() { date +%s%3N; }

# One run: prints "milliseconds kilobytes".
measure() {
    local exe=$1 title=$2 start pid ms rss
    start=$(now_ms)
    "$exe" >/dev/null 2>"$scratch/stderr" &
    pid=$!
    until xwininfo -root -tree 2>/dev/null | grep -q "\"$title"; do
        kill -0 "$pid" 2>/dev/null || { echo "$exe ended early:" >&2; cat "$scratch/stderr" >&2; exit 1; }
        sleep 0.005
    done
    ms=$(($(now_ms) - start))
    sleep 1
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$ms $rss"
}

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

: >"$scratch/designer" && : >"$scratch/bare"
for _ in $(seq "$runs"); do
    measure "$bare" "zelp bare window" >>"$scratch/bare"
    measure "$designer" "Velmaris 2000 Internet Edition" >>"$scratch/designer"
done
d_ms=$(cut -d' ' -f1 "$scratch/designer" | median)
d_kb=$(cut -d' ' -f2 "$scratch/designer" | median)
b_ms=$(cut -d' ' -f1 "$scratch/bare" | median)
b_kb=$(cut -d' ' -f2 "$scratch/bare" | median)
echo "runs: $runs (medians)"
echo "bare window: start ${b_ms} ms, RSS ${b_kb} kB"
echo "designer:    start ${d_ms} ms, RSS ${d_kb} kB"
awk -v d="$d_ms" -v b="$b_ms" 'BEGIN {printf "start time ratio: %.2f\n", d / b}'
awk -v d="$d_kb" -v b="$b_kb" 'BEGIN {printf "RSS ratio:        %.2f\n", d / b}'
