#!/usr/bin/env bash
# Line and branch coverage of libquorm and libcorvex by the test suite
# (full build), summarised with gcovr.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
if ! command -v gcovr >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y -qq gcovr >/dev/null; else echo "gcovr missing" >&2; exit 1; fi
fi
cmake -S . -B build/coverage -DCMAKE_BUILD_TYPE=Debug -DQUORM_COVERAGE=ON -DQUORM_BUILD_BENCH=OFF >/dev/null
cmake --build build/coverage -j"$(nproc)" >/dev/null
find build/coverage -name '*.gcda' -delete
(cd build/coverage && ctest -j"$(nproc)" >/dev/null)
gcovr -r . build/coverage --exclude 'tests/' --exclude 'bench/' --exclude 'examples/' --print-summary "$@"
