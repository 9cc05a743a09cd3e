#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 (run as root).
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
pkgs=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
      g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
      gcc-mingw-w64-x86-64-posix wine wine32:i386 wine64 locales
      xvfb xauth xdotool x11-apps imagemagick fonts-wqy-microhei python3)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${need[@]}"
fi
