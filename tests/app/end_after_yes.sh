#!/usr/bin/env bash
# The program on a real X display (a private Xvfb), started in an empty
# directory: "Konec" and one "Ano" on the close question end the process with
# exit code 0. Skipped (77) where no Xvfb or xdotool is installed.
set -uo pipefail
program=$1
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || exit 77
work=$(mktemp -d)
# A display of its own: the server picks a free number, so that tests run
# at once never share one.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; kill "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "no X server"; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
# The X keyboard library hands strndup buffers that end without a NUL,
# which the sanitizer's strict string checks (scripts/sanitize) take for
# an overflow.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
mkdir "$work/run"
cd "$work/run"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$work" LANG=cs_CZ.UTF-8 "$program" >"$work/out.txt" 2>&1 &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name 'zeltoexport' | head -1)
[ -n "$window" ] || { echo "no main window"; cat "$work/out.txt"; exit 1; }
sleep 1
# "&Konec", then the default button of the question, which is "Ano".
xdotool windowfocus --sync "$window" key alt+k
timeout 30 xdotool search --sync --onlyvisible --name '^ZELTO$' >/dev/null
sleep 1
xdotool key Return
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  echo "still running after one Ano"; cat "$work/out.txt"; exit 1
fi
wait "$pid"; rc=$?
echo "exit code $rc"; cat "$work/out.txt"
[ "$rc" = 0 ]
