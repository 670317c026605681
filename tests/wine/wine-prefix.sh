#!/usr/bin/env bash
# Creates the Wine prefix named by WINEPREFIX (32-bit) once, and sets it up for
# tests: no window manager management (closing windows does not stall), and
# Wine's own fonts where Wine finds them. A prefix set up by an older version
# of this script is set up again.
set -euo pipefail
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
: "${WINEPREFIX:?WINEPREFIX must be set}"
setup=2
ready="$WINEPREFIX/.quarnel-ready"
if [ "$(cat "$ready" 2>/dev/null)" = "$setup" ]; then exit 0; fi
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ "$(cat "$ready" 2>/dev/null)" = "$setup" ]; then exit 0; fi
wineboot -i >/dev/null 2>&1 || true
wineserver -w || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Debian's fonts-wine puts Wine's fonts (Marlett draws the caption buttons,
# Tahoma the system's dialogs) where this Wine does not look for them; the
# extra font path takes a Windows path.
fonts=/usr/share/wine/fonts
if [ -f "$fonts/marlett.ttf" ]; then
  wine reg add 'HKCU\Software\Wine\Fonts' /v Path /d "Z:${fonts//\//\\}" /f >/dev/null 2>&1
fi
wineserver -w || true
echo "$setup" >"$ready"
