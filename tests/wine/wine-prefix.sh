#!/usr/bin/env bash
# Creates the Wine prefix named by WINEPREFIX (32-bit) once, and sets it up for
# tests: no window manager management (closing windows does not stall).
set -euo pipefail
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
: "${WINEPREFIX:?WINEPREFIX must be set}"
if [ -f "$WINEPREFIX/.quarnel-ready" ]; then exit 0; fi
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ -f "$WINEPREFIX/.quarnel-ready" ]; then exit 0; fi
wineboot -i >/dev/null 2>&1 || true
wineserver -w || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w || true
touch "$WINEPREFIX/.quarnel-ready"
