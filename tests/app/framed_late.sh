#!/usr/bin/env bash
# The program on a private X display whose window manager stalls from
# before the main window goes up until long after, as on a slow machine or
# display: once the window manager frames it at last, the main window's
# frame lies wholly on the screen, centred. Skipped (77) where Xvfb,
# openbox, xdotool or xprop are missing.
set -uo pipefail
program=$1
screen_w=1024 screen_h=760
# Longer than any wait for a frame a program might bound.
stall_seconds=11
source "$(dirname "$0")/x_session.sh"
start_x_session "${screen_w}x$screen_h"
mkdir "$x_work/run"
cd "$x_work/run"
kill -STOP "$x_manager"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$x_work" LANG=cs_CZ.UTF-8 "$program" >"$x_work/out.txt" 2>&1 &
x_program=$!
fail() { echo "$*"; cat "$x_work/out.txt"; exit 1; }

main=$(find_window 600 --name '^zeltoexport')
[ -n "$main" ] || fail "no main window"
# The program has placed its window, which it does as it shows it.
placed() { xprop -id "$main" WM_NORMAL_HINTS | grep -q 'specified location'; }
wait_for 300 placed || fail "the main window was never placed"
sleep "$stall_seconds"
kill -CONT "$x_manager"

centred() {
  local placed
  placed=$(frame "$main") || return 1
  read -r fx fy fw fh <<<"$placed"
  [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le $screen_w ] && [ $((fy + fh)) -le $screen_h ] &&
    [ $(((2 * fx + fw - screen_w) ** 2)) -le 4 ] && [ $(((2 * fy + fh - screen_h) ** 2)) -le 4 ]
}
wait_for 300 centred ||
  fail "the main window's frame $(frame "$main" || echo '(none)') is not centred wholly on the ${screen_w}x$screen_h screen"
echo "the main window framed late lies centred on the screen"
