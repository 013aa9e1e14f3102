#!/usr/bin/env bash
# Sets everything up and runs the converter on the generated sample companies (see README).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
exec python3 "$here/tools/demo/run_demo.py" --build "$here/build" "$@"
