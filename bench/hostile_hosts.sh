#!/bin/sh
# Max RSS and time of `zelpdev2k-cli test --timeout 3` against each hostile host of
# hostile_host.py: bench/hostile_hosts.sh path/to/zelpdev2k-cli
set -eu
cli=${1:?usage: hostile_hosts.sh ZELPDEV2K-CLI}
here=$(dirname "$0")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
port=23230
for mode in burst storm controls; do
    port=$((port + 1))
    "$cli" new --force "$dir/h.ats" >/dev/null
    "$cli" set "$dir/h.ats" sHostName=127.0.0.1 sHostPort=$port >/dev/null
    python3 "$here/hostile_host.py" "$mode" "$port" &
    host=$!
    sleep 2 # python starts slowly on a busy machine
    /usr/bin/time -f "$mode: exit %x, max RSS %M KiB, %e s" "$cli" test --timeout 3 "$dir/h.ats" \
        >"$dir/out" 2>"$dir/err" || true
    grep -v '^Command exited' "$dir/err" | tail -n 2
    kill "$host" 2>/dev/null || true
    wait "$host" 2>/dev/null || true
done
