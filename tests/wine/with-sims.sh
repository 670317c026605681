#!/usr/bin/env bash
# Puts converter simulators on pty pairs, declares each as a Wine COM port,
# restarts the wineserver so Wine sees the ports, runs a command, then stops
# the simulators and withdraws the ports.
#
#   with-sims.sh --sim-binary PATH [--sim COMn:MODE[:OPT,OPT...]]... -- command...
#
# MODE is monitor, shell or silent; each OPT is passed to tarvo-sim as --OPT
# (for example pace or fault=drop-ack:3). The command sees QUARNEL_SIM_DIR, a
# folder holding for each port sim-COMn.log (commands received), sim-COMn.final
# (the block as the converter holds it, hex) and sim-COMn.ctl (control file the
# simulator polls). The names must not begin with the port's name: Windows
# opens "COM3.log" as the device COM3.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export WINEPREFIX=${QUARNEL_WINE_PREFIX:-${WINEPREFIX:-$root/build/win32/wineprefix}}
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

sim_binary=""
sims=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sim-binary) sim_binary=$2; shift 2 ;;
    --sim) sims+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) echo "with-sims.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

"$here/wine-prefix.sh"

dir=$(mktemp -d /tmp/quarnel-sims.XXXXXX)
pids=()
ports=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  for port in "${ports[@]}"; do
    wine reg delete 'HKLM\Software\Wine\Ports' /v "$port" /f >/dev/null 2>&1 || true
  done
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  # Wine keeps the device links it made for the ports; later runs must not
  # find ports that no longer exist.
  for port in "${ports[@]}"; do rm -f "$WINEPREFIX/dosdevices/${port,,}"; done
  if [ "${keep:-0}" = 1 ]; then echo "with-sims.sh: simulator files kept in $dir" >&2; else rm -rf "$dir"; fi
}
trap cleanup EXIT

for entry in "${sims[@]}"; do
  IFS=: read -r port mode opts <<<"$entry"
  extra=()
  if [ -n "${opts:-}" ]; then
    IFS=, read -r -a list <<<"$opts"
    for o in "${list[@]}"; do extra+=("--$o"); done
  fi
  [ -x "$sim_binary" ] || { echo "with-sims.sh: no simulator at $sim_binary (build the native tree first)" >&2; exit 2; }
  "$sim_binary" --mode "$mode" --link "$dir/$port.pty" --log "$dir/sim-$port.log" \
      --final "$dir/sim-$port.final" --control "$dir/sim-$port.ctl" "${extra[@]}" >"$dir/sim-$port.out" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 100); do [ -L "$dir/$port.pty" ] && break; sleep 0.05; done
  [ -L "$dir/$port.pty" ] || { echo "with-sims.sh: simulator for $port did not start" >&2; cat "$dir/sim-$port.out" >&2; exit 2; }
  wine reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$(readlink "$dir/$port.pty")" /f >/dev/null 2>&1
  ports+=("$port")
done

# Wine reads the declared ports when its server starts. Started here, the
# server's own diagnostics at shutdown stay out of the test's output.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p 2>/dev/null || true

export QUARNEL_SIM_DIR=$dir
set +e
"$@"
rc=$?
set -e
[ $rc -eq 0 ] || keep=1
exit $rc
