#!/usr/bin/env bash
# Saves a picture of one dialog template as Windows draws it under Wine.
#   snapshot-dialog.sh <win32 build dir> <template id> <output.png>
# Run it on a display (tools/with-xvfb.sh). The main window (102) is shown
# with its lists filled and sample settings.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
out=$3
export QUARNEL_WINE_PREFIX=${QUARNEL_WINE_PREFIX:-$build/wineprefix}
tmp=$(mktemp -d /tmp/quarnel-snapshot.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
"$here/../../tests/wine/wine-run.sh" "$build/tools/dialog-snapshot/dialog_snapshot.exe" "$2" \
    "Z:${tmp//\//\\}\\dialog.bmp"
convert "$tmp/dialog.bmp" -strip "$out"
