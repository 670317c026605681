#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and nothing when all
# of it is present already.
set -euo pipefail
packages=(cmake g++ make googletest libgtest-dev mingw-w64 g++-mingw-w64-i686-posix
          wine wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick procps
          libtomlplusplus-dev libcli11-dev libserialport-dev pkg-config
          clang libclang-rt-14-dev python3)
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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
