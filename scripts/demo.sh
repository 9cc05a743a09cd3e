#!/usr/bin/env bash
# Builds the launcher and starts it under Wine in a demo application directory
# (build/demo-app) with the stand-in emulator and console, and the sample ads
# served on 127.0.0.1:18080. Without $DISPLAY it starts an Xvfb of its own and
# prints how to take a screenshot. Everything it started stops when the
# launcher ends (or on Ctrl+C).
#   QV_TOOLCHAIN=cmake/mingw-x86_64-posix.cmake scripts/demo.sh   to force a build
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
port=18080
build=$root/build/demo
app=$root/build/demo-app

if [ "$(id -u)" = 0 ]; then
  bash scripts/install-deps.sh
else
  echo "demo: not root, skipping scripts/install-deps.sh" >&2
fi

# Wine runs 32-bit programs only where the kernel executes 32-bit code.
if [ -z "${QV_TOOLCHAIN:-}" ]; then
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    QV_TOOLCHAIN=cmake/mingw-i686-posix.cmake
  else
    echo "demo: this kernel runs no 32-bit code, building the 64-bit variant" >&2
    QV_TOOLCHAIN=cmake/mingw-x86_64-posix.cmake
  fi
fi
case "$QV_TOOLCHAIN" in
  *x86_64*) wine=/usr/lib/wine/wine64; [ -x "$wine" ] || wine=$(command -v wine64) ;;
  *) wine=$(command -v wine) ;;
esac

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/$QV_TOOLCHAIN" \
  -DAD_SERVER=http://127.0.0.1:$port >/dev/null
cmake --build "$build" --target launcher e2e_standin_cmd e2e_standin_mame

rm -rf "$app"
mkdir -p "$app"
cp "$build/src/launcher.exe" "$build/tests/e2e/bin/cmd.exe" "$build/tests/e2e/bin/mame.exe" "$app/"

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 http_proxy= HTTP_PROXY=
# Code page 936 comes from LC_ALL; Chinese file names also need the locale itself.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  [ -f "$build/locale/zh_CN.UTF-8/LC_CTYPE" ] ||
    localedef -i zh_CN -f UTF-8 "$build/locale/zh_CN.UTF-8" 2>/dev/null || true
  [ -f "$build/locale/zh_CN.UTF-8/LC_CTYPE" ] && export LOCPATH=$build/locale
fi

pids=()
cleanup() {
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  n=99
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  echo "demo: started Xvfb on $DISPLAY. Look at it with:"
  echo "  xwd -root -silent -display $DISPLAY | /usr/bin/convert xwd:- shot.png"
  echo "  DISPLAY=$DISPLAY xdotool mousemove 887 565 click 1   # Play (Exit: 887 661), with the window centred on 1280x1024"
fi

python3 tests/e2e/ad_server.py --root tests/e2e/sample_ads --port $port \
  --log "$build/ad_requests.log" --max-seconds 86400 &
pids+=($!)

wineserver -p >/dev/null 2>&1 || true  # fails harmlessly before the prefix exists
echo "demo: starting $app/launcher.exe (ad requests in $build/ad_requests.log)"
(cd "$app" && "$wine" "$app/launcher.exe" >"$build/launcher.out" 2>&1) || true
echo "demo: the launcher has ended"
