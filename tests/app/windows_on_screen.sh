#!/usr/bin/env bash
# The program on a private X display with a window manager, on a screen
# hardly higher than the main window: the main window's frame lies wholly
# on the screen, and the log window, whose first text comes while a box
# waits for an answer, comes up in front of the main window once the box
# has gone, clear of the main window's lower half, where its buttons are.
# Skipped (77) where Xvfb, openbox, xdotool or xprop are missing.
set -uo pipefail
program=$1
for tool in Xvfb openbox xdotool xprop xwininfo; do command -v "$tool" >/dev/null || exit 77; done
source "$(dirname "$0")/x_display.sh"
screen_w=1024 screen_h=760
x_display_start $screen_w $screen_h || { echo "no X server"; exit 1; }
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
mkdir "$work/run"
cd "$work/run"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$work" LANG=cs_CZ.UTF-8 "$program" >"$work/out.txt" 2>&1 &
pid=$!
fail() { echo "$*"; cat "$work/out.txt"; exit 1; }

# The window settles where the program puts it once it is framed: wait
# (boundedly) for its frame to lie wholly on the screen.
on_screen() {
  local placed=""
  for _ in $(seq 50); do
    if placed=$(frame "$1"); then
      read -r fx fy fw fh <<<"$placed"
      [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le $screen_w ] && [ $((fy + fh)) -le $screen_h ] && return 0
    fi
    sleep 0.2
  done
  fail "$2 frame ${placed:-(none)} is not wholly on the ${screen_w}x$screen_h screen"
}

main=$(timeout 30 xdotool search --sync --onlyvisible --name '^zeltoexport' | head -1)
[ -n "$main" ] || fail "no main window"
on_screen "$main" "the main window's"

# "Čti revír" in a directory without a district: a box, and a text for the
# log window.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((WIDTH / 2)) $((HEIGHT - 178)) click 1
box=$(timeout 30 xdotool search --sync --onlyvisible --name '^ZELTO$' | head -1)
[ -n "$box" ] || fail "no box"
sleep 1
xdotool windowactivate --sync "$box" key Return
# The log window (its title is the program's name only in the window
# manager's list) is the other window managed besides the main window.
clients() { xprop -root _NET_CLIENT_LIST | sed 's/.*# //; s/,//g'; }
log=""
for _ in $(seq 50); do
  sleep 0.2
  for w in $(clients); do
    [ $((w)) != $((main)) ] && [ $((w)) != $((box)) ] && log=$w
  done
  [ -n "$log" ] && break
done
[ -n "$log" ] || fail "no log window"
on_screen "$log" "the log window's"
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
above=""
for w in $stacking; do
  [ $((w)) = $((main)) ] && above=main
  [ $((w)) = $((log)) ] && above=log
done
[ "$above" = log ] || fail "the log window lies under the main window (stacking: $stacking)"
read -r mx my mw mh <<<"$(frame "$main")"
read -r lx ly lw lh <<<"$(frame "$log")"
buttons_top=$((my + mh / 2))
if [ "$lx" -lt $((mx + mw)) ] && [ $((lx + lw)) -gt "$mx" ] && [ $((ly + lh)) -gt "$buttons_top" ]; then
  fail "the log window $lx,$ly ${lw}x$lh covers the main window's buttons (from y $buttons_top)"
fi
echo "main window and log window on the screen, the log window in front"
