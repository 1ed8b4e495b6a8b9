# Finding the launcher's windows, reading their place, and acting on them
# as a user would: pointer moves and keys (xdotool), properties (xprop,
# xwininfo).
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the scenarios

# Prints the visible windows the adapter's LAUNCHER_SEARCH finds, one id a line.
launcher_windows() {
  xdotool search --onlyvisible "${LAUNCHER_SEARCH[@]}" 2>/dev/null
}

# Waits up to TIMEOUT seconds for a visible window matching an xdotool
# search (e.g. --class '^Portico$') and prints its id; fails on timeout.
# Usage: wait_window TIMEOUT SEARCH-OPTION PATTERN
wait_window() {
  local timeout=$1 option=$2 pattern=$3 i win
  for ((i = 0; i < timeout * 10; i++)); do
    win=$(xdotool search --onlyvisible "$option" "$pattern" 2>/dev/null | head -n 1)
    if [[ -n "$win" ]]; then
      echo "$win"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Waits for the launcher's skin window in the adapter's time and prints its id.
wait_launcher_window() {
  wait_window "$WINDOW_WAIT" "${LAUNCHER_SEARCH[@]}"
}

# Parks the pointer, starts the launcher in SKIN with portico.ini and
# VERSION and waits for its window, whose id goes to WIN. When none
# appears, reports it, ends the process and returns 1.
show_skin() {
  park_pointer
  start_launcher "$1" portico.ini "$2"
  if ! WIN=$(wait_launcher_window); then
    fail "no portico window appeared"
    cat "$PORTICO_ERR" >&2
    wait_exit "$PORTICO_PID" 1
    return 1
  fi
}

# Sets WIN_X, WIN_Y, WIN_W, WIN_H: the window's position on the screen and size.
window_geometry() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  WIN_X=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
  WIN_Y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
  WIN_W=$(awk '/Width:/ {print $2}' <<<"$info")
  WIN_H=$(awk '/Height:/ {print $2}' <<<"$info")
  [[ -n "$WIN_X" && -n "$WIN_Y" && -n "$WIN_W" && -n "$WIN_H" ]]
}

# Prints the depth of window WIN's visual.
window_depth() {
  xwininfo -id "$1" | awk '/Depth:/ {print $2}'
}

# Prints the pid of the process that shows window WIN (under Wine its Unix pid).
window_pid() {
  xprop -id "$1" _NET_WM_PID 2>/dev/null | awk '{print $3}'
}

# Sets SCREEN_W and SCREEN_H from the display.
screen_size() {
  local dims
  dims=$(xdpyinfo | awk '/dimensions:/ {print $2; exit}')
  SCREEN_W=${dims%x*}
  SCREEN_H=${dims#*x}
}

# Moves the pointer off any window we test (the top-left screen corner).
park_pointer() {
  xdotool mousemove 0 0 >/dev/null 2>&1
}

# Moves the pointer to (X, Y) in the coordinates of the window last measured
# with window_geometry.
pointer_at() {
  xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2))
}

# Gives a window the keyboard focus and types a key into it.
send_key() {
  local win=$1 key=$2
  if timeout 3 xdotool windowactivate --sync "$win" >/dev/null 2>&1 ||
    timeout 3 xdotool windowfocus --sync "$win" >/dev/null 2>&1; then
    xdotool key "$key"
  else
    xdotool key --window "$win" "$key"
  fi
}

# Closes the launcher's window WIN with Escape where no check asks for it.
close_with_escape() {
  send_key "$1" Escape
  wait_exit "$PORTICO_PID" "$EXIT_WAIT"
}

# Waits after the launcher's window appeared, before measuring it.
pause_shown() {
  sleep "$SHOWN_PAUSE"
}

# Waits SECONDS for input or drawing to land, plus the adapter's LAG.
settle() {
  sleep "$(awk -v a="$1" -v b="$LAG" 'BEGIN {print a + b}')"
}

# Waits up to the adapter's window time for the keyboard focus to be on
# window WIN, which must take it by itself: nothing here gives it.
wait_keyboard_focus() {
  local win=$1 i
  for ((i = 0; i < WINDOW_WAIT * 10; i++)); do
    [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$win" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Types KEY (an xdotool key name, e.g. Tab, shift+Tab, Return) as a user
# does: into whatever has the keyboard focus, no window named or activated.
type_key() {
  xdotool key "$1"
}
