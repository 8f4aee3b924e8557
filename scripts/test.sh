#!/usr/bin/env bash
# Builds and runs the whole test suite: the full and the reduced build, each
# plainly and under AddressSanitizer + UndefinedBehaviorSanitizer (with
# LeakSanitizer), runs each fuzzing harness briefly, then smoke-runs the
# benchmarks.  Build trees go to build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)

run_config() {
  local name=$1; shift
  echo "=== $name"
  cmake -S . -B "build/$name" -DQUORM_WERROR=ON "$@" >/dev/null
  cmake --build "build/$name" -j"$jobs" >/dev/null
  (cd "build/$name" && ctest --output-on-failure -j"$jobs")
}

run_config full -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORM_DOCS_WERROR=ON
run_config reduced -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORM_REDUCED_BUILD=ON
echo "=== API reference"
cmake --build build/full --target docs >/dev/null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_config sanitize -DCMAKE_BUILD_TYPE=Debug -DQUORM_SANITIZE=ON -DQUORM_BUILD_BENCH=OFF
run_config sanitize-reduced -DCMAKE_BUILD_TYPE=Debug -DQUORM_SANITIZE=ON -DQUORM_BUILD_BENCH=OFF -DQUORM_REDUCED_BUILD=ON
unset ASAN_OPTIONS UBSAN_OPTIONS

echo "=== fuzzing (a few seconds per harness)"
bash scripts/fuzz.sh 5

echo "=== benchmarks (smoke run, times not judged)"
for b in build/full/bench/bench_*; do
  "$b" --benchmark_min_time=0.001 >/dev/null 2>&1
  echo "ran $(basename "$b")"
done
echo "all configurations passed"
