#!/usr/bin/env bash
# make bench: times provisioning with the native quarnel-cli (see
# bench-provision.sh), then Read and Write of the real program under Wine in both
# console modes against tarvo-sim on a line paced both ways at the real bit
# rate, as a cable is, and prints each median beside the wire-time floor (all
# bytes of the exchange, both directions, ten bits each, plus the 1000 ms the
# unanswered monitor probe costs in shell mode); then the program's CPU share
# of one core (idle with the port closed and open, during paced Reads) and a
# soak of Read and Write cycles with its memory and handle count before and
# after.
#
#   tools/bench.sh [NATIVE_TREE WIN32_TREE]
#
# The trees default to build/native and build/win32 (QUARNEL_NATIVE_TREE and
# QUARNEL_WIN32_TREE override them too); QUARNEL_BENCH_RUNS sets the runs per
# operation (5), QUARNEL_BENCH_SOAK the soak's cycles (100); QUARNEL_BENCH_PACE_INPUT=0
# paces only the simulator's answers. Runs in its own Wine prefix (QUARNEL_BENCH_PREFIX,
# default build/bench-prefix), so it never restarts the wineserver of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(realpath -m "${1:-${QUARNEL_NATIVE_TREE:-$root/build/native}}")
win32=$(realpath -m "${2:-${QUARNEL_WIN32_TREE:-$root/build/win32}}")
runs=${QUARNEL_BENCH_RUNS:-5}
soak=${QUARNEL_BENCH_SOAK:-100}
pacing=pace,pace-input
[ "${QUARNEL_BENCH_PACE_INPUT:-1}" = 0 ] && pacing=pace
export QUARNEL_WINE_PREFIX=$(realpath -m "${QUARNEL_BENCH_PREFIX:-$root/build/bench-prefix}")

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  exec "$root/tools/with-xvfb.sh" "$0" "$native" "$win32"
fi

sim="$native/tools/tarvo-sim/tarvo-sim"
driver="$win32/tools/bench-driver/quarnel-bench.exe"
for f in "$sim" "$driver" "$win32/quarnel.exe"; do
  [ -e "$f" ] || { echo "bench.sh: $f is missing (build the trees first)" >&2; exit 2; }
done

# The native part first: provisioning converters side by side.
"$root/tools/bench-provision.sh" "$native"

work=$(mktemp -d /tmp/quarnel-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "bench: Read and Write, $runs runs each, then $soak soak cycles, through quarnel.exe under Wine; simulator options: $pacing"
# Every wait inside is bounded; the outer limit only guards against Wine itself hanging.
timeout 900 "$root/tests/wine/with-sims.sh" --sim-binary "$sim" \
  --sim "COM3:monitor:$pacing,stats=$work/line.stats" \
  -- "$root/tests/wine/wine-run.sh" "$driver" "$work/line.stats" "$runs" "$win32/quarnel.exe" "$soak"
