#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build tree for SECONDS on a copy of its seed
# corpus in the tree (what it finds to keep stays there, the source tree
# stays clean). Stops at the first finding: its input is under
# TREE/findings/<target>/, the run's output in TREE/logs/<target>.log.
#   fuzz/run-fuzzers.sh TREE SECONDS
set -euo pipefail
tree=$1
seconds=$2
seeds_root=$(cd "$(dirname "$0")" && pwd)/corpus
for seeds in "$seeds_root"/*/; do
  name=$(basename "$seeds")
  corpus=$tree/corpus/$name
  findings=$tree/findings/$name
  log=$tree/logs/$name.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  cp -n "$seeds"* "$corpus"/
  echo "fuzz: $name for ${seconds}s"
  if ! "$tree/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $name found a fault; the input is in $findings/, the output in $log" >&2
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$log" | sed "s/^stat::number_of_executed_units: */fuzz: $name: runs: /"
done
