#!/bin/sh
# Drives the designer under a private X server with real key presses (xdotool): New (safe),
# Save with an Internet page, Open, Exit. Not part of the test run; needs `apt-get install
# xdotool`. Usage: scripts/keyboard-road.sh [build-dir]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/release}
designer="$PWD/$build/src/ui/zelpdev2k"
work=$(mktemp -d)
n=90
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
sleep 1
export DISPLAY=":$n"
HOME="$work" ZELPDEV2K_REGISTRY="$work/none.reg" ASAN_OPTIONS=detect_leaks=0 "$designer" &
sleep 2

focus() { # the first window whose title contains $1
    id=$(xdotool search --sync --name "$1" | head -1)
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    sleep 0.3
}
fail() { echo "keyboard road: $1" >&2; exit 1; }

focus "Velmaris 2000 Internet"
xdotool key alt+f; sleep 0.4; xdotool key Return         # File > New
focus "Connection Type"; xdotool key Return                # Create Safe Connection
focus "New Velmaris Internet Configuration File"
xdotool type --delay 20 "$work/Keyboard"; xdotool key Return; sleep 2
[ "$(stat -c %s "$work/Keyboard.ats")" = 1536 ] || fail "New did not write the template"

focus "Keyboard (safe)"; xdotool key ctrl+s                # Save
focus "Save Velmaris 2000 Internet Connection"
xdotool key alt+i; xdotool key Return; sleep 3            # Internet page, Save
[ -s "$work/Keyboard.htm" ] || fail "no launch page"
[ "$(stat -c %s "$work/Keyboard.ats")" -gt 1536 ] || fail "the connection was not saved"

focus "Velmaris 2000 Internet Connection"; xdotool key ctrl+o
focus "Open Velmaris Internet Connection File"
xdotool type --delay 20 "$work/Keyboard.ats"; xdotool key Return; sleep 2
xdotool search --name "Keyboard \(safe\)" >/dev/null || fail "Open did not host the file"

focus "Keyboard (safe)"; xdotool key alt+f; sleep 0.4; xdotool key x; sleep 1
if pgrep -f "$designer" >/dev/null; then fail "Exit did not end the designer"; fi
echo "keyboard road: New, Save with a launch page, Open and Exit work by keyboard"
