#!/usr/bin/env bash
# Installs the Debian packages the project needs (only when one is missing),
# then configures and builds into build/. Safe to run again.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

packages=(
  build-essential cmake ninja-build pkg-config git python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libboost-dev libboost-filesystem-dev libboost-system-dev libboost-date-time-dev
  libxerces-c-dev unixodbc unixodbc-dev libsqliteodbc libsqlite3-dev tdsodbc sqlite3
  libcurl4-openssl-dev nlohmann-json3-dev ca-certificates openssl
  python3-dbf
  qt6-base-dev
  clang libclang-rt-14-dev
  xvfb xauth imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# The identity-number tests ask the npm package "personnummer" for a second
# opinion; npm may also come with a nodejs of another origin.
if ! command -v npm >/dev/null 2>&1; then
  missing+=(nodejs npm)
fi
if ((${#missing[@]})); then
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

build="${BUILD_DIR:-$here/build}"
jobs="$(nproc)"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j "$jobs"
