#!/usr/bin/env bash
# The Linux archive as a technician gets it: unpacked in a fresh folder, its
# program reads a simulated converter with `show`.
#   tools/dist-smoke.sh NATIVE_TREE DIST_DIR
set -euo pipefail
sim_binary="$1/tools/tarvo-sim/tarvo-sim"
archives=("$2"/quarnel-cli-*-linux-*.tar.gz)
[ ${#archives[@]} -eq 1 ] && [ -f "${archives[0]}" ] || { echo "dist-smoke: no single Linux archive in $2" >&2; exit 1; }
tmp=$(mktemp -d /tmp/quarnel-dist-smoke.XXXXXX)
sim=""
trap '[ -z "$sim" ] || { kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; }; rm -rf "$tmp"' EXIT
tar -xzf "${archives[0]}" -C "$tmp"
program=("$tmp"/quarnel-cli-*/quarnel-cli)
"$sim_binary" --mode monitor --mac 02:1F:A0:00:5E:01 --link "$tmp/port" --log "$tmp/sim.log" \
    --final "$tmp/sim.final" --control "$tmp/sim.ctl" >"$tmp/sim.out" 2>&1 &
sim=$!
for _ in $(seq 1 100); do [ -L "$tmp/port" ] && break; sleep 0.05; done
"${program[0]}" show "$tmp/port" >"$tmp/show.txt" || { cat "$tmp/show.txt" "$tmp/sim.out" >&2; exit 1; }
grep -Eq '^about\.mac +02:1F:A0:00:5E:01$' "$tmp/show.txt" ||
  { echo "dist-smoke: show did not print the converter's MAC address:" >&2; cat "$tmp/show.txt" >&2; exit 1; }
echo "dist-smoke: the archive's quarnel-cli read the simulated converter ($(wc -l <"$tmp/show.txt") settings lines)"
