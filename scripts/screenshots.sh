#!/bin/sh
# Takes the pictures in docs/screenshots under a private X server at 96 dpi.
# Usage: scripts/screenshots.sh [build-dir] [output-folder]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/dev}
out=${2:-docs/screenshots}

cmake --build "$build" --target zelp_screenshots -j2

# The first free display number from 90 on.
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
    n=$((n + 1))
done
Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT INT TERM
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ]; do
    i=$((i + 1))
    if [ "$i" -gt 100 ]; then
        echo "Xvfb did not start" >&2
        exit 1
    fi
    sleep 0.1
done

# Leaks of the X libraries at exit are not ours to report here.
DISPLAY=":$n" QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
    "$build/scripts/screenshots/zelp_screenshots" "$out"
