#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: fuzz.sh [SECONDS_EACH]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-20}

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DSTAMPWISE_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build-fuzz -j2

total=0
for target in line_input text_field stamp_cycle command; do
  # New inputs go to a scratch folder; the seed corpus in the repo is only read.
  scratch="$root/build-fuzz/corpus/$target"
  mkdir -p "$scratch"
  log="$root/build-fuzz/$target.log"
  if ! "$root/build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
      "$scratch" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz target $target failed"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  total=$((total + runs))
  echo "fuzz $target: $runs executions in ${seconds}s, no property broken"
done
rm -rf /tmp/stampwise-fuzz-*
echo "fuzz: $total executions in all"
