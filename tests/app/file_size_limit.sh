#!/usr/bin/env bash
# The program under a file-size limit (ulimit -f), started from a shell that
# leaves the limit's signal at its default, which ends a process: without a
# display, its output redirected to files it cannot write, it runs to its end
# and exits 0; on a private X display, a level export that runs past the
# limit is told in the protocol ("soubor je příliš velký"), the old block
# stays as it was, and the program ends through "Konec" with exit code 0,
# leaving neither the block's lock nor a staging directory behind.
# Skipped (77) where Xvfb, xdotool or python3 are missing.
set -uo pipefail
program=$(realpath "$1")
source_dir=$2
for tool in Xvfb xdotool python3; do command -v "$tool" >/dev/null || exit 77; done
source "$(dirname "$0")/x_windows.sh"
work=$(mktemp -d)
xvfb="" pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$*"; [ -f "$work/out.txt" ] && cat "$work/out.txt"; exit 1; }
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"

python3 "$source_dir/tools/gendistrict/gendistrict.py" --out "$work" --seed 1 >/dev/null || fail "no sample tree"
district="$work/GIS/4107/01"
mkdir "$district/01_16PSK.BLK"
printf 'old areas' >"$district/01_16PSK.BLK/TN.ARE"

# Without a display: every write to the redirected output goes past a limit
# of no bytes at all.
mkdir "$work/batch"
(
  cd "$work/batch" && ulimit -f 0 && trap - XFSZ &&
    exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$work" ZELTO_DRIVE_D="$work" \
      timeout 120 "$program" >"$work/batch.out" 2>"$work/batch.err"
)
rc=$?
[ "$rc" = 0 ] || fail "without a display, under the limit: exit code $rc"

# On a display of its own: the server picks a free number, so that tests
# run at once never share one. Nor is it reset when its last client
# leaves: until the window manager (or the program) is connected, the
# look-ups are its only clients, and one that came during a reset was
# let in and dropped ("Failed to open the display").
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "no X server"
export DISPLAY=":$(head -1 "$work/display")"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
mkdir "$work/run"
(
  cd "$work/run" && ulimit -f 16 && trap - XFSZ &&
    exec env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work" WINDIR="$work" ZELTO_DRIVE_D="$work" \
      LANG=cs_CZ.UTF-8 "$program" >"$work/out.txt" 2>&1
) &
pid=$!
main=$(find_window 300 --onlyvisible --name '^zeltoexport')
[ -n "$main" ] || fail "no main window"
eval "$(xdotool getwindowgeometry --shell "$main")"
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; }

# What the protocol says, in the program's code page.
told() { python3 -c 'import sys; print(open(sys.argv[1], encoding="cp1250").read())' "$work/run/0001.PTC" 2>/dev/null; }
# Whether the protocol holds a text. Read whole first: a grep -q that ends
# at the first match would break the reader's pipe, and under pipefail a
# match would count as none.
told_of() { local text; text=$(told); grep -qF "$1" <<<"$text"; }
# Waits, boundedly, for a text in the protocol.
told_within() {
  for _ in $(seq "$2"); do told_of "$1" && return 0; sleep 0.1; done
  return 1
}

# The directory list opens on D:\GIS, headed by the directory itself and
# "..": the third entry is the first directory in it, "4107", and in there
# "01". Keys, unlike typed names, are taken in the order they come.
click 60 87
xdotool key Home Down Down Return Home Down Down Return
# "Čti revír", then "Sku" until its box comes: while the read runs, the
# window refuses commands. The box is answered before the export logs.
click $((WIDTH / 2)) $((HEIGHT - 178))
for _ in $(seq 30); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    fail "the program ended during the export, exit code $?"
  fi
  click 63 $((HEIGHT - 120))
  box=$(find_window 20 --onlyvisible --name '^ZELTO$')
  [ -n "$box" ] && xdotool windowfocus --sync "$box" key Return
  told_within "soubor je příliš velký" 20 && break
done
told_of "Blok D:\\GIS\\4107\\01\\01_16PSK.BLK nebyl zapsán" || fail "the export past the limit was not told: $(told)"
told_of "soubor je příliš velký. Původní blok zůstává beze změny." || fail "told otherwise: $(told)"

# "Konec" once no box is left, and "Ano".
wait_for 100 none_named --onlyvisible --name '^ZELTO$'
xdotool windowfocus --sync "$main" key alt+k
question=$(find_window 300 --onlyvisible --name '^ZELTO$')
[ -n "$question" ] || fail "no close question"
xdotool windowfocus --sync "$question" key Return
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after one Ano"
wait "$pid"
rc=$?
pid=""
[ "$rc" = 0 ] || fail "exit code $rc"
[ "$(cat "$district/01_16PSK.BLK/TN.ARE")" = "old areas" ] || fail "the old block changed"
left=$(ls -A "$district" | grep -vx -e CES.BLK -e DET.BLK -e SLU.BLK -e 01_16PSK.BLK || true)
[ -z "$left" ] || fail "left beside the blocks: $left"
[ "$(ls -A "$district/01_16PSK.BLK")" = TN.ARE ] || fail "the old block holds $(ls -A "$district/01_16PSK.BLK")"
echo "told: $(told)"
