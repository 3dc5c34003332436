#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each over its kept regression inputs,
# then fuzzes it from its seed corpus:
#   tools/fuzz.sh            fixed seed and a fixed number of runs per target: the same work
#                            on every run of the same code (the test command's step)
#   tools/fuzz.sh SECONDS    a random seed for that long per target, on a corpus kept in
#                            build/fuzz/corpus between runs
# A finding is kept under build/fuzz/findings/ and the last lines name the target.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-}"
ls "$here"/fuzz/*_fuzz.cpp >/dev/null 2>&1 || { echo "== no fuzz targets"; exit 0; }
cmake -S "$here" -B "$here/build/fuzz" -DKM_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$here/build/fuzz" -j "${KM_JOBS:-$(nproc)}"

# Runs per target for the fixed step: about a minute each.
runs_for() {
  case "$1" in
    station) echo "${KM_FUZZ_RUNS:-150000}" ;;
    converter) echo "${KM_FUZZ_RUNS:-80000}" ;;
    *) echo "${KM_FUZZ_RUNS:-100000}" ;;
  esac
}

# The fixed step repeats only without address randomisation (the converter's coverage
# follows some heap addresses), without comparison operands (they hold addresses) and
# without re-reading the corpus the run writes to.
fixed=()
setarch "$(uname -m)" -R true 2>/dev/null && fixed=(setarch "$(uname -m)" -R)

findings="$here/build/fuzz/findings"
mkdir -p "$findings"
fail() {
  echo "fuzz target $1 failed: $2"
  exit 1
}

for src in "$here"/fuzz/*_fuzz.cpp; do
  name=$(basename "$src" .cpp)
  base=${name%_fuzz}
  bin="$here/build/fuzz/fuzz/$name"
  opts=(-rss_limit_mb=1024 -malloc_limit_mb=1024 -timeout=10 -artifact_prefix="$findings/$base-")
  if ls "$here/fuzz/regress/$base"/* >/dev/null 2>&1; then
    echo "== $name: regression inputs"
    "$bin" "${opts[@]}" "$here/fuzz/regress/$base"/* >"$findings/$base-regress.log" 2>&1 ||
      { tail -n 20 "$findings/$base-regress.log"; fail "$name" "on a kept input of fuzz/regress/$base"; }
  fi
  if [ -z "$seconds" ]; then
    # A fresh copy of the seed corpus each time, so every run does the same work.
    work="$here/build/fuzz/fixed/$base"
    rm -rf "$work"
    mkdir -p "$work"
    cp "$here/fuzz/corpus/$base"/* "$work/" 2>/dev/null || true
    runs=$(runs_for "$base")
    echo "== $name: $runs runs, seed 1"
    status=0
    "${fixed[@]}" "$bin" "${opts[@]}" -seed=1 -runs="$runs" -reload=0 -use_cmp=0 -print_final_stats=1 "$work" \
      >"$findings/$base.log" 2>&1 || status=$?
    tail -n 12 "$findings/$base.log"
    [ "$status" -eq 0 ] || fail "$name" "exit $status; the input is kept in $findings/$base-*"
  else
    work="$here/build/fuzz/corpus/$base"
    mkdir -p "$work"
    cp -n "$here/fuzz/corpus/$base"/* "$work/" 2>/dev/null || true
    echo "== $name: ${seconds}s"
    status=0
    # Keeping freed memory instead of handing it back to the system makes long runs about
    # 2.5 times faster on virtual machines, where fresh pages are dear; the quarantine still
    # holds the last 64 MB freed, far more than one run uses.
    ASAN_OPTIONS="${ASAN_OPTIONS:-allocator_release_to_os_interval_ms=-1:quarantine_size_mb=64}" "$bin" "${opts[@]}" -max_total_time="$seconds" -print_final_stats=1 "$work" >"$findings/$base.log" 2>&1 ||
      status=$?
    tail -n 12 "$findings/$base.log"
    [ "$status" -eq 0 ] || fail "$name" "exit $status; the input is kept in $findings/$base-*"
  fi
done
