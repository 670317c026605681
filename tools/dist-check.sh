#!/usr/bin/env bash
# make dist-check: the release archives are the same bytes wherever they are
# built. The committed tree is cloned into two folders of different names and
# depths, `make dist` runs in each, and every file of build/dist is compared.
# Takes two builds' time; the logs of a failed side are shown.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse HEAD)
work=$(mktemp -d /tmp/quarnel-dist-check.XXXXXX)
trap 'rm -rf "$work"' EXIT
sides=("$work/one/quarnel" "$work/second-place/deeper/q")
for side in "${sides[@]}"; do
  git clone --quiet --no-checkout "$root" "$side"
  git -C "$side" checkout --quiet "$commit"
  echo "dist-check: make dist in $side"
  make -C "$side" dist >"$side.log" 2>&1 || { tail -40 "$side.log" >&2; exit 1; }
done
diff -r "${sides[0]}/build/dist" "${sides[1]}/build/dist" >/dev/null ||
  { echo "dist-check: the archives differ between the two folders:" >&2
    (cd "${sides[0]}/build/dist" && sha256sum *) >&2; (cd "${sides[1]}/build/dist" && sha256sum *) >&2; exit 1; }
echo "dist-check: $(ls "${sides[0]}/build/dist" | tr '\n' ' ')identical from both folders at $commit"
