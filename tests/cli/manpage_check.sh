#!/bin/sh
# The manual page renders and names every command of `zelpdev2k-cli --help` and every option
# of each command's own help. Usage: manpage_check.sh CLI PAGE
set -eu
cli=$1
page=$2
text=$(MANWIDTH=200 man -l "$page" 2>/dev/null | sed "s/.\x08//g")
[ -n "$text" ] || { echo "the manual page does not render" >&2; exit 1; }
commands=$("$cli" --help | awk '/^Commands:/ {on=1; next} on && /^  [a-z]/ {print $1} on && /^$/ {on=0}')
[ -n "$commands" ] || { echo "no commands in --help" >&2; exit 1; }
missing=0
for c in $commands help; do
    echo "$text" | grep -Eq "^ +$c( |$)" || { echo "the manual lacks the command $c" >&2; missing=1; }
    [ "$c" = help ] && continue
    for o in $("$cli" "$c" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
        echo "$text" | grep -q -- "$o" || { echo "the manual lacks $c $o" >&2; missing=1; }
    done
done
exit $missing
