#!/bin/sh
# Installs the npm package "personnummer" into $1 (once) and writes its verdicts
# on generated identity numbers to $1/cases.tsv.
set -eu
out="$1"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"
if [ ! -f "$out/node_modules/personnummer/package.json" ]; then
  npm install --prefix "$out" --no-save --no-audit --no-fund --loglevel=error personnummer@3.2.1 >/dev/null
fi
NODE_PATH="$out/node_modules" node "$here/identity_number_oracle.js" > "$out/cases.tsv.part"
mv "$out/cases.tsv.part" "$out/cases.tsv"
