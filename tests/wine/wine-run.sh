#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own 32-bit prefix,
# creating the prefix on first use. Usage: wine-run.sh program.exe [args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export WINEPREFIX=${QUARNEL_WINE_PREFIX:-${WINEPREFIX:-$root/build/win32/wineprefix}}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing here needs them and there is no network.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
"$here/wine-prefix.sh" >/dev/null
exec wine "$@"
