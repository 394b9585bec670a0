#!/usr/bin/env bash
# The program on a private X display with a window manager, on a 1024x768
# screen, with the sample district read and shown ("Předmět zájmu"): an area
# picked with "Výběr plochy" in the middle of the map opens its properties
# and its record, and while both are up, the picked area's mark shows as it
# does once they are closed, and the main window's buttons show as they
# did before the pick. Every wait is for what it checks and bounded by time,
# not by a count of looks: on a loaded machine each look (a screenshot, a
# walk of the windows) takes long, and the program may get no time for many
# of them while it reads the district or draws the map.
# Skipped (77) where Xvfb, openbox, xdotool, xprop, wmctrl, ImageMagick's
# import or python3 are missing.
set -uo pipefail
program=$(realpath "$1")
source_dir=$2
for tool in wmctrl import python3; do command -v "$tool" >/dev/null || exit 77; done
screen_w=1024 screen_h=768
source "$(dirname "$0")/x_session.sh"
start_x_session "${screen_w}x$screen_h"
work=$x_work
fail() { echo "$*"; [ -f "$work/out.txt" ] && cat "$work/out.txt"; exit 1; }
python3 "$source_dir/tools/gendistrict/gendistrict.py" --out "$work" --seed 1 >/dev/null || fail "no sample tree"
mkdir "$work/run"
cd "$work/run"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$work" ZELTO_DRIVE_C="$work" ZELTO_DRIVE_D="$work" \
  LANG=cs_CZ.UTF-8 "$program" >"$work/out.txt" 2>&1 &
x_program=$!

# How long any one wait may take, in seconds: what a user would wait on a
# machine loaded many times over.
patience=120
# Runs the command every fifth of a second until it succeeds, for at most
# `seconds`: false when it never did. Checked once more at the end, so that
# a look that took long still counts.
within() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}
# The first window a search finds, once one is up.
window_within() {
  local seconds=$1
  shift
  within "$seconds" window_found "$@" && echo "$x_found"
}
# The whole screen as raw RGB.
shot() { import -window root -depth 8 "rgb:$work/$1.rgb"; }
# A window is in place once the window manager has framed it and its frame
# stays put between two looks.
settled() {
  x_last=""
  within $patience frame_stays "$1" && echo "$x_last"
}
frame_stays() {
  local now
  now=$(frame "$1") || { x_last=""; return 1; }
  [ "$now" = "$x_last" ] && return 0
  x_last=$now
  return 1
}
# Whether the window manager has none but the windows given up (the start
# window goes a while after the main window came).
only_up() {
  local clients w others=0
  clients=$(xprop -root _NET_CLIENT_LIST | sed 's/.*# //; s/,//g')
  for w in $clients; do
    case " $* " in *" $((w)) "*) ;; *) others=$((others + 1)) ;; esac
  done
  [ "$others" = 0 ]
}
# The colour of the pixel at X Y of a shot, as "R G B".
colour() { od -An -tu1 -j $((3 * ($3 * screen_w + $2))) -N3 "$work/$1.rgb" | xargs; }
# Whether the program waits for something to do: a program the machine
# gives no time (runnable, or stopped) leaves a half-drawn map on the
# screen as it was between two shots.
idle() { [ "$(sed 's/.*) //' "/proc/$x_program/stat" 2>/dev/null | cut -d' ' -f1)" = S ]; }
# The screen is drawn once two shots in a row, taken while the program was
# idle, are alike, and the pixel at X Y, when given, is no longer the white
# of an empty map.
drawn() {
  x_shot=$1
  shift
  x_pixel=("$@")
  x_drawn_from=$SECONDS
  rm -f "$work/$x_shot.rgb"
  within $patience drawn_now || return 1
  echo "$x_shot: drawn whole after $((SECONDS - x_drawn_from)) s"
}
drawn_now() {
  idle || return 1
  shot "$x_shot.next" || return 1
  idle || return 1
  if [ -f "$work/$x_shot.rgb" ] && cmp -s "$work/$x_shot.rgb" "$work/$x_shot.next.rgb" &&
    { [ ${#x_pixel[@]} = 0 ] || [ "$(colour "$x_shot" "${x_pixel[@]}")" != "255 255 255" ]; }; then
    return 0
  fi
  mv "$work/$x_shot.next.rgb" "$work/$x_shot.rgb"
  return 1
}

main=$(window_within $patience --onlyvisible --name '^zeltoexport')
[ -n "$main" ] || fail "no main window"
settled "$main" >/dev/null || fail "the main window is not framed"
eval "$(xdotool getwindowgeometry --shell "$main")"
# The directory list under the drive box opens on D:\GIS: its rows are the
# directory, "..", and its subdirectories in order, "4107" first; in there
# "01" first. Return enters the current row, and the keys reach the list in
# the order they were typed.
xdotool mousemove --window "$main" 60 87 click 1
xdotool key --delay 50 Home Down Down Return Home Down Down Return
xdotool mousemove --window "$main" $((WIDTH / 2)) $((HEIGHT - 178)) click 1   # "Čti revír"
# While the district is read the main window takes no clicks: "Předmět
# zájmu" is pressed until its viewer comes, again only while the program
# waits for something to do (a press it has yet to take would open a
# second viewer).
viewer=""
for ((end = SECONDS + patience; SECONDS < end; )); do
  idle && xdotool mousemove --window "$main" 106 $((HEIGHT - 356)) click 1
  viewer=$(window_within 5 --onlyvisible --name '^Zobrazova')
  [ -n "$viewer" ] && break
done
[ -n "$viewer" ] || fail "no viewer came up"
viewer_frame=$(settled "$viewer") || fail "the viewer is not framed"
# The main window's buttons: from the row of "Předmět zájmu" down.
eval "$(xdotool getwindowgeometry --shell "$main")"
buttons="$X $((Y + HEIGHT - 356 - 10)) $WIDTH $((356 + 10))"
within $patience only_up $((main)) $((viewer)) || fail "windows other than the main window and the viewer stay up"
eval "$(xdotool getwindowgeometry --shell "$viewer")"
middle_x=$((X + WIDTH / 2)) middle_y=$((Y + HEIGHT / 2))
xdotool mousemove 0 0
drawn before $middle_x $middle_y || fail "the map is never drawn whole"

# "Výběr plochy" is the fourth entry of the Tools menu; the middle of the
# map lies in an area.
xdotool windowactivate --sync "$viewer"
xdotool key --delay 100 alt+n Down Down Down Return
xdotool mousemove $middle_x $middle_y click 1
properties=$(window_within $patience --onlyvisible --name '^Properties$')
record=$(window_within $patience --onlyvisible --name '^F_dbfrecForm$')
[ -n "$properties" ] && [ -n "$record" ] || fail "the pick opened no properties or no record"
properties_frame=$(settled "$properties") || fail "the properties are not framed"
record_frame=$(settled "$record") || fail "the record is not framed"
xdotool mousemove 0 0
drawn up || fail "the windows of the pick are never drawn whole"
for window in "$properties" "$record"; do wmctrl -i -c "$window"; done
within $patience none_named --onlyvisible --name '^(Properties|F_dbfrecForm)$' || fail "the windows do not close"
drawn closed || fail "the map is never drawn again"

# The mark: what the pick changed on the map (the viewer's inside between
# its menu bar and the bar under the map, which shows the mouse's place).
python3 - "$work" $screen_w $screen_h "$viewer_frame" "$buttons" "$properties_frame" "$record_frame" <<'EOF' || fail
import sys
work, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
viewer, buttons, properties, record = ([int(v) for v in arg.split()] for arg in sys.argv[4:8])
before, up, closed = (open(f"{work}/{name}.rgb", "rb").read() for name in ("before", "up", "closed"))

def pixels(x0, y0, x1, y1):
    for y in range(max(y0, 0), min(y1, height)):
        for x in range(max(x0, 0), min(x1, width)):
            yield x, y

def at(shot, x, y):
    i = 3 * (y * width + x)
    return shot[i:i + 3]

vx, vy, vw, vh = viewer
mark = [p for p in pixels(vx, vy + 50, vx + vw, vy + vh - 32) if at(before, *p) != at(closed, *p)]
if len(mark) < 200:
    sys.exit(f"the pick marked no area: {len(mark)} pixels changed on the map")
hidden = [p for p in mark if at(up, *p) != at(closed, *p)]
xs, ys = [x for x, _ in mark], [y for _, y in mark]
print(f"mark {min(xs)},{min(ys)} to {max(xs)},{max(ys)}; properties {properties}; record {record}")
if hidden:
    sys.exit(f"the windows of the pick hide {len(hidden)} of the {len(mark)} pixels of its mark")
# The main window's buttons, where the viewer does not lie over them.
bx, by, bw, bh = buttons
lower = [p for p in pixels(bx, by, bx + bw, by + bh) if not (vx <= p[0] < vx + vw and vy <= p[1] < vy + vh)]
covered = [p for p in lower if at(before, *p) != at(up, *p)]
if covered:
    xs, ys = [x for x, _ in covered], [y for _, y in covered]
    sys.exit(f"the windows of the pick cover the main window's buttons: {len(covered)} pixels "
             f"from {min(xs)},{min(ys)} to {max(xs)},{max(ys)} changed")
EOF
echo "the windows of the pick leave its mark and the main window's buttons in sight"
