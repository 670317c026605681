#!/usr/bin/env bash
# Runs a command on a private virtual X display and stops the display after.
# Xvfb picks a free display number itself and writes it to us (-displayfd).
set -euo pipefail
fifo=$(mktemp -u /tmp/with-xvfb.XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null || true; wait $xpid 2>/dev/null || true; rm -f "$fifo"' EXIT
display=""
read -r -t 10 display <"$fifo" || true
[ -n "$display" ] || { echo "with-xvfb.sh: Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$display"
set +e
"$@"
rc=$?
exit $rc
