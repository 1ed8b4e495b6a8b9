#!/usr/bin/env bash
# portico-skin watch runs the launcher on a skin; when a file of the skin
# changes it prints the check's findings and starts the launcher again where
# the user had moved its window; a launcher that ends without showing the
# skin is waited out; the watch ends with the launcher's exit code once the
# user chooses (here "Exit").
source "$(dirname "$0")/lib.sh" "$@"

TOOL=$(realpath "$BUILD_DIR/portico-skin")
skin=$(make_skin watch)
ini=$skin/portico.ini
EMPTY_X=240 EMPTY_Y=205

# The pid of the process that shows window WIN.
window_pid() {
  xprop -id "$1" _NET_WM_PID 2>/dev/null | awk '{print $3}'
}

# Waits up to 10 s for a launcher window of a process other than OLD_PID and
# sets WIN to it.
wait_new_window() {
  local old=$1 i w pid
  for ((i = 0; i < 100; i++)); do
    for w in $(xdotool search --onlyvisible --class '^Portico$' 2>/dev/null); do
      # A window going away has no pid left to read: it is not a new one.
      pid=$(window_pid "$w")
      if [[ -n "$pid" && "$pid" != "$old" ]]; then
        WIN=$w WIN_PID=$pid
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

# When WIN is gone but its process shows another window (a window system
# may replace a window's X window), makes WIN that one and reads its place.
same_process_window() {
  local w
  for w in $(xdotool search --onlyvisible --class '^Portico$' 2>/dev/null); do
    [[ "$(window_pid "$w")" == "$WIN_PID" ]] && WIN=$w && window_geometry "$WIN" && return 0
  done
  return 1
}

# Waits up to 3 s for window WIN to be at X,Y; sets WIN_X and WIN_Y.
wait_position() {
  local i
  for ((i = 0; i < 30; i++)); do
    WIN_X=? WIN_Y=?  # not a stale place if the window is gone
    window_geometry "$WIN" || same_process_window
    [[ "$WIN_X,$WIN_Y" == "$1,$2" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to 5 s for a line matching PATTERN in the watch's output.
wait_output() {
  local i
  for ((i = 0; i < 50; i++)); do
    grep -qE "$1" "$WORK/watch.out" "$WORK/watch.err" && return 0
    sleep 0.1
  done
  return 1
}

park_pointer
(cd "$skin" && exec "$TOOL" watch portico.ini 2.0 --launcher "$PORTICO") >"$WORK/watch.out" 2>"$WORK/watch.err" &
WATCH_PID=$!
STARTED_PIDS+=("$WATCH_PID")

if ! wait_new_window none; then
  fail "no launcher window appeared"
  cat "$WORK/watch.out" "$WORK/watch.err" >&2
  finish
fi
grep -q "portico.ini: no findings" "$WORK/watch.out" && pass "the demo skin is checked clean" ||
  fail "no clean check of the demo skin: $(cat "$WORK/watch.out")"

# The user drags the window somewhere else.
sleep 0.3
window_geometry "$WIN"
pointer_at $EMPTY_X $EMPTY_Y
sleep 0.2
xdotool mousedown 1
for step in 1 2 3 4; do
  xdotool mousemove $((WIN_X + EMPTY_X - 25 * step)) $((WIN_Y + EMPTY_Y - 20 * step))
  sleep 0.1
done
xdotool mouseup 1
sleep 0.5
window_geometry "$WIN"
moved_x=$WIN_X moved_y=$WIN_Y
first_pid=$(window_pid "$WIN")
park_pointer

# A change that the check has something to say about: the dial's radii swapped.
sed -i 's/^b5=Dial,344,74,113,113,400,130,56,36$/b5=Dial,344,74,113,113,400,130,36,56/' "$ini"
if wait_new_window "$first_pid"; then
  if wait_position "$moved_x" "$moved_y"; then
    pass "the restarted launcher's window is where the user left it ($WIN_X,$WIN_Y)"
  else
    fail "the restarted window is at $WIN_X,$WIN_Y, the user left it at $moved_x,$moved_y"
  fi
else
  fail "the launcher did not start again after the change"
fi
wait_output '^portico.ini:16: warning: the ring falls back to a rectangle' &&
  pass "the change's finding was printed" || fail "no finding for the swapped radii: $(cat "$WORK/watch.out")"

# Without "Exit" the launcher ends quietly, saying why; the watch goes on.
second_pid=$(window_pid "$WIN")
sed -i '/=Exit,/d' "$ini"
wait_output 'ended without showing the skin' && pass "the quiet exit was noticed" || fail "no word of the quiet exit"
wait_output 'portico: portico.ini: no control named "Exit"' && pass "the launcher said why on stderr" ||
  fail "the launcher's reason did not reach the watch's stderr"
sleep 0.5
is_running "$WATCH_PID" && pass "the watch goes on after a quiet exit" || fail "the watch ended after a quiet exit"

# Exit comes back; the user clicks it; the watch ends with 1.
sed -i "/^b1=Install,/a b2=Exit,168,236,120,40" "$ini"
if wait_new_window "$second_pid"; then
  wait_position "$moved_x" "$moved_y" && pass "still where the user left it" ||
    fail "after the quiet exit the window is at $WIN_X,$WIN_Y, not $moved_x,$moved_y"
  read -r EX EY EW EH < <(control_rect "$ini" Exit)
  pointer_at $((EX + EW / 2)) $((EY + EH / 2))
  sleep 0.3
  xdotool click 1
  wait_exit "$WATCH_PID" 10
  [[ "$EXIT_CODE" == 1 ]] && pass "the watch ended with the launcher's exit code 1" ||
    fail "the watch ended with $EXIT_CODE after Exit was clicked"
else
  fail "the launcher did not start again once Exit was back"
fi
finish
