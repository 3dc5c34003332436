#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each: first over its kept
# regression inputs, then for a bounded time (seconds, first argument) from its seed corpus.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-60}"
ls "$here"/fuzz/*_fuzz.cpp >/dev/null 2>&1 || { echo "== no fuzz targets"; exit 0; }
cmake -S "$here" -B "$here/build/fuzz" -DKM_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$here/build/fuzz" -j "$(nproc)"
for src in "$here"/fuzz/*_fuzz.cpp; do
  name=$(basename "$src" .cpp)
  base=${name%_fuzz}
  bin="$here/build/fuzz/fuzz/$name"
  work="$here/build/fuzz/corpus/$base"
  mkdir -p "$work"
  [ -d "$here/fuzz/corpus/$base" ] && cp -n "$here/fuzz/corpus/$base"/* "$work/" 2>/dev/null || true
  opts=(-rss_limit_mb=1024 -timeout=10 -malloc_limit_mb=1024)
  if [ -d "$here/fuzz/regress/$base" ] && ls "$here/fuzz/regress/$base"/* >/dev/null 2>&1; then
    echo "== $name: regression inputs"
    "$bin" "${opts[@]}" "$here/fuzz/regress/$base"/*
  fi
  echo "== $name: ${seconds}s"
  "$bin" "${opts[@]}" -max_total_time="$seconds" -print_final_stats=1 "$work" 2>&1 | tail -n 12
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz target $name failed"; exit 1; }
done
