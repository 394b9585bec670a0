# Sourced by the window tests: a private X display of the size asked for,
# with a window manager, gone when the script exits. Exits 77 (skipped)
# where Xvfb, openbox, xdotool, xprop or xwininfo are missing.
#   source x_session.sh; start_x_session 1024x768
# Sets DISPLAY and x_work (a scratch directory removed at the end); a
# program the script starts is ended with it when its pid is in x_program.
source "$(dirname "${BASH_SOURCE[0]}")/x_windows.sh"
x_program=""
start_x_session() {
  local tool
  for tool in Xvfb openbox xdotool xprop xwininfo; do command -v "$tool" >/dev/null || exit 77; done
  x_work=$(mktemp -d)
  # A display of its own: the server picks a free number, so that tests
  # run at once never share one. Nor is it reset when its last client
  # leaves: until the window manager (or the program) is connected, the
  # look-ups are its only clients, and one that came during a reset was
  # let in and dropped ("Failed to open the display").
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$x_work/display" >/dev/null 2>&1 &
  x_server=$!
  x_manager=""
  trap stop_x_session EXIT
  # Generously bounded: on a loaded machine the server and the window
  # manager may each take many seconds to come up.
  wait_for 600 test -s "$x_work/display" || { echo "no X server"; exit 1; }
  export DISPLAY=":$(head -1 "$x_work/display")"
  openbox >/dev/null 2>&1 &
  x_manager=$!
  wait_for 600 managed || { echo "no window manager"; exit 1; }
  wait_for 600 started || { echo "the window manager never started"; exit 1; }
  # The X keyboard library hands strndup buffers that end without a NUL,
  # which the sanitizer's strict string checks (scripts/sanitize) take for
  # an overflow.
  [ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
  return 0
}
stop_x_session() {
  [ -n "$x_program" ] && kill "$x_program" 2>/dev/null
  # A window manager a test stopped ends too.
  [ -n "$x_manager" ] && kill -CONT "$x_manager" 2>/dev/null && kill "$x_manager" 2>/dev/null
  kill "$x_server" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$x_work"
}
# xprop says "no such atom on any window" before the window manager has
# set it.
managed() { [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]]; }
# Openbox says it manages the screen before it has started up, and loses
# what is asked of it until then (a window to be mapped among it): it has
# started once it has done what it was asked, one desktop.
started() {
  xdotool set_num_desktops 1
  [[ $(xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null) == *"= 1" ]]
}
# The frame of a window: its inside and the decorations the window manager
# says it drew around it (left, right, top, bottom), as "x y width height";
# nothing before it did, nor for a window gone meanwhile (its place is
# read in one look, never pieced together from a window and no window).
frame() {
  local x y w h l r t b extents
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep '=' | sed 's/.*= //; s/,//g')
  [ -n "$extents" ] || return 1
  read -r l r t b <<<"$extents"
  read -r x y w h <<<"$(xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2}
    END {if (h != "") print x, y, w, h}')"
  [ -n "$h" ] || return 1
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
# Asks the window manager to give the window the keyboard, until it says
# it has (a window manager still starting may not hear the first ask).
activate() {
  wait_for 300 activated "$1" || { echo "window $1 never got the keyboard"; return 1; }
}
activated() {
  local active
  xdotool windowactivate "$1" 2>/dev/null
  active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*# //p')
  [ -n "$active" ] && [ $((active)) = $(($1)) ]
}
