#!/usr/bin/env bash
# Builds the benchmark programs optimised and without sanitizers, then runs them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# The station benchmark compares the conversion with hp2xx on the same job.
if ! command -v hp2xx >/dev/null 2>&1; then
  if [ "$(id -u)" = 0 ]; then apt-get install -y -q hp2xx >/dev/null || true
  else sudo apt-get install -y -q hp2xx >/dev/null || true; fi
fi
cmake -S "$here" -B "$here/build/bench" -DCMAKE_BUILD_TYPE=Release -DKM_SANITIZE=OFF >/dev/null
cmake --build "$here/build/bench" -j "$(nproc)" --target $(cd "$here/bench" && ls *_bench.cpp 2>/dev/null | sed 's/\.cpp$//')
for b in "$here"/bench/*_bench.cpp; do
  [ -e "$b" ] || continue
  name=$(basename "$b" .cpp)
  echo "== $name"
  "$here/build/bench/bench/$name" "$@"
done
