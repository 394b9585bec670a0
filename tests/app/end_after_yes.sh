#!/usr/bin/env bash
# The program on a real X display (a private Xvfb with a window manager),
# started in an empty directory: "Konec" and one "Ano" on the close question
# end the process with exit code 0. Skipped (77) where the X tools are
# missing.
set -uo pipefail
program=$1
source "$(dirname "$0")/x_session.sh"
start_x_session 1280x1024
work=$x_work
mkdir "$work/run"
cd "$work/run"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$work" LANG=cs_CZ.UTF-8 "$program" >"$work/out.txt" 2>&1 &
pid=$!
x_program=$pid
window=$(find_window 600 --onlyvisible --name 'zeltoexport')
[ -n "$window" ] || { echo "no main window"; cat "$work/out.txt"; exit 1; }
# "&Konec", then the default button of the question, which is "Ano"; each
# once its window has the keyboard.
activate "$window" || exit 1
xdotool key alt+k
box=$(find_window 600 --onlyvisible --name '^ZELTO$')
[ -n "$box" ] || { echo "no question"; cat "$work/out.txt"; exit 1; }
activate "$box" || exit 1
xdotool key Return
ended() { ! kill -0 "$pid" 2>/dev/null; }
if ! wait_for 300 ended; then
  echo "still running after one Ano"; cat "$work/out.txt"; exit 1
fi
x_program=""
wait "$pid"; rc=$?
echo "exit code $rc"; cat "$work/out.txt"
[ "$rc" = 0 ]
