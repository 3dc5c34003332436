#!/usr/bin/env bash
# Configures and builds both trees: build/native (Linux, sanitizers) and
# build/windows (MinGW i686). The Windows deliverables end up in build/dist.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
cmake -S "$here" -B "$here/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build/native" -j "$jobs"
cmake -S "$here" -B "$here/build/windows" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$here/build/windows" -j "$jobs"
