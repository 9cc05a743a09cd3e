#!/usr/bin/env bash
# Measures the launcher under Wine and Xvfb: start-up to first paint against a
# minimal one-window program, start-up with a 200-entry cached list, CPU time
# while idle and during a Play's wait, private memory, executable size.
# Figures are printed, never asserted.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${RUNS:-15}
bash scripts/install-deps.sh >/dev/null

if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  arch=i686 wine=wine
else
  arch=x86_64 wine=/usr/lib/wine/wine64
fi
build=build/measure-$arch
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch-posix.cmake" \
  -DAD_SERVER=http://127.0.0.1:1 >/dev/null
cmake --build "$build" --target launcher startup_bench minimal_window e2e_standin_cmd >/dev/null

work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 http_proxy=
for d in plain ads; do
  mkdir -p "$work/$d"
  cp "$build/src/launcher.exe" "$build/tests/e2e/bin/cmd.exe" "$work/$d/"
  : > "$work/$d/mame.exe"
done
cp "$build/bench/win/minimal_window.exe" "$work/plain/"
# A 200-entry cached list whose pictures are all present.
mkdir -p "$work/ads/Sup"
python3 - "$work/ads/Sup" <<'PY'
import sys, os
sup = sys.argv[1]
lines = ["1|3650|2026/1/1 0:00:00"]
for i in range(200):
    kind = (1, 2, 3)[i % 3]
    second = f"pic{i % 10}.bmp|http://127.0.0.1:1/pic{i % 10}.bmp" if kind == 2 else f"entry {i}"
    lines += ["*", str(kind), second, f"hint {i}", "http://127.0.0.1:1/"]
open(os.path.join(sup, "Ad.his"), "wb").write(("\r\n".join(lines) + "\r\n").encode())
PY
for i in $(seq 0 9); do /usr/bin/convert -size 160x40 "plasma:fractal" -seed $i -type TrueColor "BMP3:$work/ads/Sup/pic$i.bmp"; done

winpath() { echo "Z:${1//\//\\}"; }
bench=$(winpath "$root/$build/bench/win/startup_bench.exe")
run() { "$wine" "$bench" "$@" > "$work/out.txt" 2>/dev/null; cat "$work/out.txt"; }

# One display for the whole run: Wine binds its desktop to the first one it sees.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
sleep 1
$wine wineboot -i >/dev/null 2>&1
echo "arch: $arch"
echo "executable size (shipped i686 build):"
if [ -f build/i686/src/launcher.exe ]; then ls -l build/i686/src/launcher.exe | awk '{print "  " $5 " bytes"}'; fi
ls -l "$build/src/launcher.exe" | awk '{print "  " $5 " bytes ('"$arch"' test build)"}'
echo -n "minimal window:     "; run startup "$(winpath "$work/plain/minimal_window.exe")" "$runs"
echo -n "launcher, no list:  "; run startup "$(winpath "$work/plain/launcher.exe")" "$runs"
echo -n "launcher, 200 ads:  "; run startup "$(winpath "$work/ads/launcher.exe")" "$runs"
# CPU time and memory from the Linux side: Wine's own process times of
# another process are not reliable.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
idle_cpu() {  # program, label
  (cd "$work/plain" && exec "$wine" "$1" >/dev/null 2>&1) &
  sleep 4
  local p t0 t1
  p=$(pgrep -f "$1" | head -n 1)
  t0=$(ticks "$p"); sleep 10; t1=$(ticks "$p")
  echo "idle, $2: cpu_ms $(( (t1 - t0) * 1000 / hz )) over 10 s;" \
    "$(grep -E 'VmRSS|RssAnon' "/proc/$p/status" | tr -s ' \t' ' ' | tr '\n' ' ')"
}
idle_cpu minimal_window.exe "minimal window"
wineserver -k 2>/dev/null || true
idle_cpu launcher.exe launcher
pid=$(pgrep -f 'launcher\.exe' | head -n 1)
# Play (client 515,247 of a window centred on 1280 x 1024): the launch waits one
# 1-second tick for the console it starts.
t0=$(ticks "$pid")
xdotool mousemove $(( (1280 - 670) / 2 + 580 )) $(( (1024 - 429) / 2 + 268 )) click 1
sleep 1.5; t1=$(ticks "$pid")
echo "play:               cpu_ms $(( (t1 - t0) * 1000 / hz )) over the 1.5 s after the click;" \
  "stand-in console started: $(pgrep -fc 'cmd\.exe' || true)"
