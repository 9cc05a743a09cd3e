#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# native unit tests (sanitizers, fuzzing), then the Windows tests and
# end-to-end scenarios under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}

bash scripts/install-deps.sh

echo "== native build and tests"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

echo "== the shipped 32-bit program"
cmake -S . -B build/i686 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686-posix.cmake" \
  -DAD_SERVER=http://127.0.0.1:18085
cmake --build build/i686 -j "$jobs" --target launcher
i686-w64-mingw32-objdump -f build/i686/src/launcher.exe | grep -q 'file format pei-i386'

# Wine runs 32-bit programs only where the kernel executes 32-bit code; some
# virtual machines do not, and there the same sources are tested as 64-bit.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  winbuild=build/i686
else
  echo "   (this kernel runs no 32-bit code: the Windows tests use a 64-bit build)"
  winbuild=build/x86_64
  cmake -S . -B "$winbuild" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64-posix.cmake" \
    -DAD_SERVER=http://127.0.0.1:18085
fi

echo "== Windows tests under Wine ($winbuild)"
cmake --build "$winbuild" -j "$jobs"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$winbuild" --output-on-failure
