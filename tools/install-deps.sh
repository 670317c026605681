#!/usr/bin/env bash
# Installs what the builds and their tests need on Debian 12, and nothing when
# all of it is present already:
#   tools/install-deps.sh [native] [win32] [fuzz] [dist]     (all when none is named)
# native: the portable build, its tests and quarnel-cli; win32: the Windows
# build, its tests under Wine and the demo; fuzz: clang and its fuzzer runtime;
# dist: the release archives' script (and the icon generator).
set -euo pipefail
native=(cmake g++ make pkg-config libgtest-dev libtomlplusplus-dev libcli11-dev libserialport-dev)
win32=(mingw-w64 g++-mingw-w64-i686-posix googletest
       wine wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick procps)
fuzz=(clang libclang-rt-14-dev)
dist=(python3)

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(native win32 fuzz dist)
# Every build configures the whole tree: the other groups build on native's.
packages=("${native[@]}")
for group in "${groups[@]}"; do
  case "$group" in
    native) ;;
    win32) packages+=("${win32[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    dist) packages+=("${dist[@]}") ;;
    *) echo "install-deps: unknown group $group (native, win32, fuzz or dist)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" != 0 ]; then
  echo "install-deps: missing packages and not root; install them: ${missing[*]}" >&2
  exit 1
fi
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
