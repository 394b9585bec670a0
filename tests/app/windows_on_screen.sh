#!/usr/bin/env bash
# The program on a private X display with a window manager, on a screen
# hardly higher than the main window: the main window's frame lies wholly
# on the screen, and the log window, whose first text comes while a box
# waits for an answer, comes up in front of the main window once the box
# has gone, clear of the main window's lower half, where its buttons are.
# Every wait is for what it checks, bounded generously for a loaded
# machine. Skipped (77) where Xvfb, openbox, xdotool or xprop are missing.
set -uo pipefail
program=$1
screen_w=1024 screen_h=760
source "$(dirname "$0")/x_session.sh"
start_x_session "${screen_w}x$screen_h"
work=$x_work
mkdir "$work/run"
cd "$work/run"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$work" LANG=cs_CZ.UTF-8 "$program" >"$work/out.txt" 2>&1 &
x_program=$!
fail() { echo "$*"; cat "$work/out.txt"; exit 1; }

wholly_on_screen() {
  local placed
  placed=$(frame "$1") || return 1
  read -r fx fy fw fh <<<"$placed"
  [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le $screen_w ] && [ $((fy + fh)) -le $screen_h ]
}
# The window settles where the program puts it once it is framed.
on_screen() {
  wait_for 300 wholly_on_screen "$1" ||
    fail "$2 frame $(frame "$1" || echo '(none)') is not wholly on the ${screen_w}x$screen_h screen"
}
clients() { xprop -root _NET_CLIENT_LIST | sed 's/.*# //; s/,//g'; }
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'; }
# Whether the first window lies above the second.
above() {
  local w seen=""
  for w in $(stacking); do
    [ $((w)) = $(($2)) ] && seen=yes
    [ $((w)) = $(($1)) ] && { [ -n "$seen" ]; return; }
  done
  return 1
}

main=$(find_window 600 --onlyvisible --name '^zeltoexport')
[ -n "$main" ] || fail "no main window"
on_screen "$main" "the main window's"

# "Čti revír" in a directory without a district: a box, and a text for the
# log window.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((WIDTH / 2)) $((HEIGHT - 178)) click 1
box=$(find_window 600 --onlyvisible --name '^ZELTO$')
[ -n "$box" ] || fail "no box"
before=$(clients)
activate "$box" || fail "the box never got the keyboard"
xdotool key Return
# The log window (its title is the program's name only in the window
# manager's list) is the window that comes up once the box has gone; the
# start window may still be up beside the main window.
log=""
new_client() {
  local w
  for w in $(clients); do
    grep -qw "$w" <<<"$before" || log=$w
  done
  [ -n "$log" ]
}
wait_for 300 new_client || fail "no log window"
on_screen "$log" "the log window's"
wait_for 300 above "$log" "$main" || fail "the log window lies under the main window (stacking: $(stacking))"
read -r mx my mw mh <<<"$(frame "$main")"
read -r lx ly lw lh <<<"$(frame "$log")"
buttons_top=$((my + mh / 2))
if [ "$lx" -lt $((mx + mw)) ] && [ $((lx + lw)) -gt "$mx" ] && [ $((ly + lh)) -gt "$buttons_top" ]; then
  fail "the log window $lx,$ly ${lw}x$lh covers the main window's buttons (from y $buttons_top)"
fi
echo "main window and log window on the screen, the log window in front"
