# Sourced by the window tests: looking for windows on an X display while
# other windows come and go. A search walks the whole window tree, and a
# window that goes away during the walk (the start window as it hides, the
# frame the window manager drew round it, a box just answered) ends the
# search with an X error (BadWindow on X_QueryTree, X_GetWindowAttributes or
# X_GetProperty), which tells nothing of the window looked for: the search
# is made anew, within the wait's bound.
#   main=$(find_window 600 --onlyvisible --name '^zeltoexport') || fail ...
#   wait_for 100 none_named --onlyvisible --name '^ZELTO$' || fail ...

# Runs the command every tenth of a second until it succeeds, at most
# `tries` times: false when it never did.
wait_for() {
  local tries=$1 i
  shift
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# One walk with `xdotool search` and the options given: the windows found,
# one a line, and true; false (1) when it found none; 2 when a window went
# away during the walk and the answer is not known.
search_windows() {
  local said
  said=$(xdotool search "$@" 2>&1)
  [[ $said == *"X Error"* ]] && return 2
  grep -x '[0-9][0-9]*' <<<"$said"
}
# The first window a search finds, once one is up, looked for at most
# `tries` times, a tenth of a second apart.
find_window() {
  local tries=$1
  shift
  wait_for "$tries" window_found "$@" && echo "$x_found"
}
window_found() {
  x_found=$(search_windows "$@" | head -1)
  [ -n "$x_found" ]
}
# Whether a whole walk found no window the search matches.
none_named() {
  search_windows "$@" >/dev/null
  [ $? = 1 ]
}
