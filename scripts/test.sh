#!/usr/bin/env bash
# Sets everything up, builds, and runs every test; then builds everything again
# with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/ and
# runs every test there too (the wizard's dialogs on the offscreen platform).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
cd "$here/build"
ctest --output-on-failure -j "$(nproc)"

# Unoptimised with line tables only: the sanitizers check just as much, and
# the build takes about a third of the time an -O2 -g build does.
sanitize="${SANITIZE_BUILD_DIR:-$here/build-sanitize}"
cmake -S "$here" -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 \
  -DCONVERTER_SANITIZE=ON -DCONVERTER_BENCHMARKS=OFF >/dev/null
cmake --build "$sanitize" -j "$(nproc)"
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1}" \
UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}" \
  ctest --test-dir "$sanitize" --output-on-failure -j "$(nproc)"
