#!/usr/bin/env bash
# make demo: runs Quarnel under Wine against tarvo-sim, a simulated converter
# in monitor mode behind COM3 of a Wine prefix of the demo's own.
#
#   tools/demo.sh [NATIVE_TREE WIN32_TREE]
#
# With a display (DISPLAY set and reachable) the program runs until its window
# is closed. Without one, a private Xvfb display is used: a driver selects
# COM3, opens it and reads the converter, the window is saved as a PNG (path
# printed; QUARNEL_DEMO_SHOT overrides it) and everything is stopped.
# The trees default to build/native and build/win32 (QUARNEL_NATIVE_TREE and
# QUARNEL_WIN32_TREE override them too); the prefix is build/demo-prefix
# (QUARNEL_DEMO_PREFIX).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(realpath -m "${1:-${QUARNEL_NATIVE_TREE:-$root/build/native}}")
win32=$(realpath -m "${2:-${QUARNEL_WIN32_TREE:-$root/build/win32}}")
export QUARNEL_WINE_PREFIX=$(realpath -m "${QUARNEL_DEMO_PREFIX:-$root/build/demo-prefix}")
shot=$(realpath -m "${QUARNEL_DEMO_SHOT:-$root/build/demo/main-window-read.png}")

sim="$native/tools/tarvo-sim/tarvo-sim"
program="$win32/quarnel.exe"
driver="$win32/tools/demo-driver/quarnel-demo-driver.exe"
for f in "$sim" "$program" "$driver"; do
  [ -e "$f" ] || { echo "demo.sh: $f is missing (build the trees first)" >&2; exit 2; }
done

# Inside the simulator's run without a display: drive, screenshot, finish.
if [ "${QUARNEL_DEMO_STAGE:-}" = drive ]; then
  handshake=$QUARNEL_SIM_DIR
  "$root/tests/wine/wine-run.sh" "$driver" "$handshake" COM3 &
  driver_pid=$!
  trap 'kill $driver_pid 2>/dev/null || true' EXIT
  for _ in $(seq 1 1200); do
    [ -f "$handshake/demo-ready" ] && break
    kill -0 $driver_pid 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -f "$handshake/demo-ready" ]; then
    echo "demo.sh: the program did not reach a loaded window" >&2
    wait $driver_pid || true
    exit 1
  fi
  read -r left top width height <"$handshake/demo-ready"
  sleep 0.5  # let the last repaint land
  mkdir -p "$(dirname "$shot")"
  import -window root -crop "${width}x${height}+${left}+${top}" +repage "$shot"
  touch "$handshake/demo-shot"
  rc=0
  timeout 30 tail --pid=$driver_pid -f /dev/null || rc=$?
  wait $driver_pid || rc=$?
  trap - EXIT
  [ $rc -eq 0 ] && echo "demo: screenshot of the main window after Read: $shot"
  exit $rc
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "demo: Quarnel with a simulated converter (monitor mode) on COM3."
  echo "      Select COM3, Open, then Read; edit the settings and Write. Close the window to end."
  exec "$root/tests/wine/with-sims.sh" --sim-binary "$sim" --sim COM3:monitor \
    -- "$root/tests/wine/wine-run.sh" "$program"
fi

echo "demo: no display; running on a private Xvfb display and saving a screenshot"
QUARNEL_DEMO_STAGE=drive QUARNEL_DEMO_SHOT=$shot exec timeout 600 "$root/tools/with-xvfb.sh" \
  "$root/tests/wine/with-sims.sh" --sim-binary "$sim" --sim COM3:monitor \
  -- "$0" "$native" "$win32"
