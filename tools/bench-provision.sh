#!/usr/bin/env bash
# The native part of make bench: wall time and CPU time of `quarnel-cli
# provision` for 1, 8 and 32 simulated converters side by side, each on its
# own pty, with tarvo-sim moving the bytes no faster than the real line would
# in either direction (--pace --pace-input), in each console mode; and the
# ratio of 32 converters to 1. A figure to read, not a pass/fail test
# (target: 32 in at most 1.3 times the time of 1; the program's threads block
# on their lines, so its CPU time stays a small part of the wall time).
#
#   tools/bench-provision.sh [NATIVE_TREE]
#
# QUARNEL_BENCH_RUNS sets the runs per figure (5); the median is printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(realpath -m "${1:-${QUARNEL_NATIVE_TREE:-$root/build/native}}")
runs=${QUARNEL_BENCH_RUNS:-5}
sim="$native/tools/tarvo-sim/tarvo-sim"
cli="$native/quarnel-cli"
for f in "$sim" "$cli"; do
  [ -e "$f" ] || { echo "bench-provision.sh: $f is missing (build the native tree first)" >&2; exit 2; }
done

work=$(mktemp -d /tmp/quarnel-bench-provision.XXXXXX)
pids=()
stop_sims() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  pids=()
}
trap 'stop_sims; rm -rf "$work"' EXIT

printf '[network]\nsubnet_mask = "255.255.0.0"\ngateway_ip = "10.1.0.1"\n[serial]\nbaud_rate = "115200"\n' \
  > "$work/site.qcfg"

# start_sims COUNT MODE: COUNT simulators, each with a MAC address of its own.
ports=()
start_sims() {
  local count=$1 mode=$2 i
  ports=()
  for ((i = 1; i <= count; i++)); do
    "$sim" --mode "$mode" --pace --pace-input --link "$work/line$i" --log "$work/log$i" \
      --final "$work/final$i" --control "$work/ctl$i" --mac "$(printf '02:1F:A0:00:0C:%02X' "$i")" > /dev/null &
    pids+=($!)
  done
  for ((i = 1; i <= count; i++)); do
    for _ in $(seq 300); do [ -L "$work/line$i" ] && break; sleep 0.01; done
    ports+=("$(readlink "$work/line$i")")
  done
}

# write_plan RUN: one row a converter, with addresses new to it in each run
# (a converter that holds the plan's values already is not written).
write_plan() {
  local i
  echo "port,network.local_ip" > "$work/plan.csv"
  for ((i = 0; i < ${#ports[@]}; i++)); do echo "${ports[$i]},10.1.$(($1 + 1)).$((11 + i))" >> "$work/plan.csv"; done
}

# The median of the runs: "<wall seconds> <CPU seconds of the program>".
median_run() {
  local figures=() TIMEFORMAT='%R %U %S' timing
  for ((r = 0; r < runs; r++)); do
    write_plan "$r"
    timing=$( { time timeout 120 "$cli" provision "$work/plan.csv" --template "$work/site.qcfg" -q > /dev/null \
                  || { echo "bench-provision.sh: provision failed" >&2; exit 1; }; } 2>&1 )
    figures+=("$(awk '{ printf "%.3f %.3f", $1, $2 + $3 }' <<< "$timing")")
  done
  printf '%s\n' "${figures[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}

echo "bench: quarnel-cli provision, converters side by side at the real line rate (tarvo-sim --pace --pace-input), median of $runs runs"
for mode in monitor shell; do
  line=""
  one=""
  for count in 1 8 32; do
    start_sims "$count" "$mode"
    read -r seconds cpu <<< "$(median_run)"
    stop_sims
    rm -f "$work"/line*
    [ "$count" = 1 ] && one=$seconds
    line+=$(printf '  %d: %6.2f s (CPU %.2f s)' "$count" "$seconds" "$cpu")
  done
  ratio=$(awk -v a="$seconds" -v b="$one" 'BEGIN { printf "%.2f", a / b }')
  printf '  %-8s%s   32:1 = %s (target <= 1.30)\n' "$mode" "$line" "$ratio"
done
