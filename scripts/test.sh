#!/usr/bin/env bash
# Sets everything up, builds, and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
cd "$here/build"
ctest --output-on-failure -j "$(nproc)"
