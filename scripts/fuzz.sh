#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each over its seed corpus for SECONDS
# (default 10) or, with RUNS=N in the environment, for N executions.  New
# inputs the fuzzer finds go to build/fuzz/found/<harness>/, crash reproducers
# to build/fuzz/crashes/; the corpora in the repository are only read.
# Prints one line per harness (executions, coverage) and fails on a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORM_FUZZ=ON \
  -DQUORM_BUILD_TESTS=OFF -DQUORM_BUILD_BENCH=OFF >/dev/null
cmake --build build/fuzz -j"$(nproc)" >/dev/null

mkdir -p build/fuzz/crashes
limit=(-max_total_time="$seconds")
[ -n "${RUNS:-}" ] && limit=(-runs="$RUNS")
status=0
printf '%-10s %12s %8s %8s\n' harness executions cov ft
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  found=build/fuzz/found/$name
  mkdir -p "$found"
  log=build/fuzz/$name.log
  if ! build/fuzz/fuzz/fuzz_"$name" "$found" "$corpus" "${limit[@]}" -close_fd_mask=1 \
       -artifact_prefix=build/fuzz/crashes/"$name"- >"$log" 2>&1; then
    echo "fuzz_$name failed:"; grep -E "ERROR|broken truth|runtime error|SUMMARY" "$log" | head -n 5
    status=1
    continue
  fi
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  execs=$(sed -E 's/^#([0-9]+).*/\1/' <<<"$last")
  cov=$(sed -E 's/.*cov: ([0-9]+).*/\1/' <<<"$last")
  ft=$(sed -E 's/.*ft: ([0-9]+).*/\1/' <<<"$last")
  printf '%-10s %12s %8s %8s\n' "$name" "$execs" "$cov" "$ft"
done
exit $status
