#!/usr/bin/env bash
# Sets everything up, builds, and runs every test; then builds the DBF
# reader's tests alone with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/ and runs them there.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
cd "$here/build"
ctest --output-on-failure -j "$(nproc)"

sanitize="${SANITIZE_BUILD_DIR:-$here/build-sanitize}"
cmake -S "$here" -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONVERTER_SANITIZE=ON \
  -DCONVERTER_GUI=OFF -DCONVERTER_BENCHMARKS=OFF >/dev/null
cmake --build "$sanitize" -j "$(nproc)" --target lumdb_dbf_tests lumdb_base_tests lumdb_dbf_oracle_tests
# Only the targets above are built; the other lumdb test programs show up as *_NOT_BUILT.
ctest --test-dir "$sanitize" --output-on-failure -j "$(nproc)" -L lumdb -E '_NOT_BUILT$'
