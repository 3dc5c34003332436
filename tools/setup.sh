#!/usr/bin/env bash
# Installs, only where missing, every Debian package the build and the tests need,
# fetches the dxflib source for the Windows build and prepares the Wine prefix.
# Safe to run again: each step checks first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
third="$here/build/third_party"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

native_pkgs=(cmake g++ clang-14 libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev
             libdxflib-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686
             g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
             xvfb x11-apps imagemagick fonts-wqy-zenhei x11-utils xdotool dpkg-dev python3-pil socat)
i386_pkgs=(wine wine32:i386)

missing=()
for p in "${native_pkgs[@]}" "${i386_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Windows build compiles dxflib from Debian's source of the same version as libdxflib-dev.
if [ ! -d "$third/dxflib/src" ]; then
  if ! ls /etc/apt/sources.list.d/*-src.sources >/dev/null 2>&1 && ! grep -rqs '^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    src=/etc/apt/sources.list.d/debian.sources
    if [ -f "$src" ]; then
      sed 's/^Types: deb$/Types: deb-src/' "$src" | $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
    else
      grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $SUDO tee /etc/apt/sources.list.d/debian-src.list >/dev/null
    fi
    $SUDO apt-get update -qq
  fi
  mkdir -p "$third/fetch"
  ( cd "$third/fetch" && apt-get source -qq --download-only dxflib >/dev/null 2>&1 || apt-get source -qq --download-only dxflib )
  tarball=$(ls "$third"/fetch/dxflib_*.orig.tar.* | head -n 1)
  rm -rf "$third/dxflib.tmp" && mkdir -p "$third/dxflib.tmp"
  tar -xf "$tarball" -C "$third/dxflib.tmp" --strip-components=1
  mv "$third/dxflib.tmp" "$third/dxflib"
  echo "setup: dxflib source in $third/dxflib"
fi

# One Wine prefix for builds and test runs.
"$here/tools/wineprefix.sh"
