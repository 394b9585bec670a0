#!/usr/bin/env bash
# Generates the sample tree into a temporary directory and runs the program on it.
set -euo pipefail
program=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$source_dir/tools/gendistrict/gendistrict.py" --out "$work" --seed 1 >/dev/null
"$program" "$work/GIS" > "$work/out.txt" 2> "$work/err.txt"
cat "$work/out.txt"
grep -q '^7 block directories$' "$work/out.txt"
grep -q '/4107/01/DET.BLK .* 107 lines .* 41 areas .* 69.2034 ha$' "$work/out.txt"
grep -q '/4107/02/DET.BLK .* 60 lines .* 25 areas .* 38.7220 ha$' "$work/out.txt"
if [ -s "$work/err.txt" ]; then
  echo "unexpected messages:"; cat "$work/err.txt"; exit 1
fi
