#!/usr/bin/env bash
# The window tests' look-ups while other windows come and go, as the start
# window and the boxes do, on a private X display with a window manager:
# one window stays up while others are made and destroyed as fast as they
# can be; every look-up finds the one that stays, none takes it for gone,
# and a name no window has is told as none. Skipped (77) where the X tools
# are missing.
set -uo pipefail
command -v xmessage >/dev/null || exit 77
source "$(dirname "$0")/x_session.sh"
start_x_session 1024x768
xmessage -title steady steady 2>/dev/null &
steady=$(find_window 600 --onlyvisible --name '^steady$') || { echo "the steady window never came"; exit 1; }
churn() {
  local i
  for ((i = 0; i < 3000; i++)); do
    xmessage -title brief brief 2>/dev/null &
    sleep 0.02
    kill $! 2>/dev/null
    wait $! 2>/dev/null
  done
}
churn &
x_program=$!
rounds=100 lost=0
for ((round = 1; round <= rounds; round++)); do
  search_windows --onlyvisible --name '^steady$' >/dev/null
  [ $? = 2 ] && lost=$((lost + 1))
  found=$(find_window 100 --onlyvisible --name '^steady$')
  [ "$found" = "$steady" ] || { echo "round $round: found '$found' for $steady"; exit 1; }
  none_named --onlyvisible --name '^steady$' && { echo "round $round: the steady window taken for gone"; exit 1; }
  wait_for 100 none_named --onlyvisible --name '^never$' || { echo "round $round: no walk told that none is named so"; exit 1; }
done
echo "$lost of $rounds single walks met a window going away; every look-up went on"
