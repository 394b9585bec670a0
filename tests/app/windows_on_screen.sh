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
work=$(mktemp -d)
screen_w=1024 screen_h=760
# A display of its own: the server picks a free number, so that tests run
# at once never share one.
Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
pid="" wm=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "no X server"; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
openbox >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
mkdir "$work/run"
cd "$work/run"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$work" LANG=cs_CZ.UTF-8 "$program" >"$work/out.txt" 2>&1 &
pid=$!
fail() { echo "$*"; cat "$work/out.txt"; exit 1; }

# The frame of a window: its inside and the decorations the window manager
# says it drew around it (left, right, top, bottom); nothing before it did.
frame() {
  local x y w h extents
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep '=' | sed 's/.*= //; s/,//g')
  [ -n "$extents" ] || return 1
  read -r l r t b <<<"$extents"
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $4}')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $4}')
  w=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  h=$(xwininfo -id "$1" | awk '/Height:/ {print $2}')
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
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
