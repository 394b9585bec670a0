# Sourced by the tests that run the program on a private X display with a
# window manager, as a user's desktop would be. It makes `work`, a directory
# of the test's own, and at the end stops the program started as `pid`,
# the display, and removes `work`.

work=$(mktemp -d)
pid=""
x_display_pids=()
x_display_cleanup() {
  local started
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  for started in "${x_display_pids[@]}"; do kill "$started" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap x_display_cleanup EXIT

# x_display_start WIDTH HEIGHT: a display of its own (the server picks a free
# number, so that tests run at once never share one) with openbox started
# (and, within a bound, running); DISPLAY is exported. Fails without a
# server.
x_display_start() {
  Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  x_display_pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || return 1
  export DISPLAY=":$(head -1 "$work/display")"
  openbox >/dev/null 2>&1 &
  x_display_pids+=($!)
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
}

# The frame of a window: its inside and the decorations the window manager
# says it drew around it (left, right, top, bottom), as "x y width height";
# nothing before it did.
frame() {
  local x y w h extents l r t b
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep '=' | sed 's/.*= //; s/,//g')
  [ -n "$extents" ] || return 1
  read -r l r t b <<<"$extents"
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $4}')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $4}')
  w=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  h=$(xwininfo -id "$1" | awk '/Height:/ {print $2}')
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
