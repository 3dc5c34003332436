#!/usr/bin/env bash
# Configures and builds both trees: build/native (Linux, sanitizers) and
# build/windows (MinGW i686). The Windows deliverables end up in build/windows/dist.
# Where only 64-bit Wine runs, build/windows64 is built too, for the test runs.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/tools/wine-env.sh"
jobs=${KM_JOBS:-$(nproc)}
cmake -S "$here" -B "$here/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build/native" -j "$jobs"
cmake -S "$here" -B "$here/build/windows" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$here/build/windows" -j "$jobs"
if [ "$KM_WINE_BITS" = 64 ]; then
  cmake -S "$here" -B "$here/build/windows64" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-x86_64.cmake" >/dev/null
  cmake --build "$here/build/windows64" -j "$jobs"
fi
