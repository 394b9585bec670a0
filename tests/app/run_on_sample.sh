#!/usr/bin/env bash
# Generates the sample tree into a temporary directory and starts the program
# on it without a display: it must come up on the sample's data tree, choose
# its protocol file and exit by itself.
set -euo pipefail
program=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$source_dir/tools/gendistrict/gendistrict.py" --out "$work" --seed 1 >/dev/null
mkdir "$work/run"
cd "$work/run"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$work" ZELTO_DRIVE_D="$work" \
  timeout 120 "$program" > "$work/out.txt" 2> "$work/err.txt"
cat "$work/out.txt"
cat "$work/run/0001.PTC" 2>/dev/null || true
grep -qx "protocol file: $work/run/0001.PTC" "$work/out.txt"
grep -qx 'data directory: D:\\GIS' "$work/out.txt"
grep -qx 'district output: D:\\GIS\\LHC\\RevirX' "$work/out.txt"
# The directory it was started from keeps nothing but the protocol file:
# Create.sql comes only with a table made.
left=$(ls -A "$work/run" | grep -vx '0001.PTC' || true)
if [ -n "$left" ]; then echo "left in the start directory: $left"; exit 1; fi
if grep -v -e '^zeltoexport: no display' -e '^QStandardPaths:' -e 'propagateSizeHints' "$work/err.txt" | grep -q .; then
  echo "unexpected messages:"; cat "$work/err.txt"; exit 1
fi
