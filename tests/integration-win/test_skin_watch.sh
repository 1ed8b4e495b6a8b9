#!/usr/bin/env bash
# portico-skin.exe watch under Wine runs the portico.exe beside it on a
# skin; when the description changes it prints the check's findings and
# starts the launcher again where the user had moved its window; a
# launcher that ends without showing the skin is waited out, its reason
# reaching the tool's stderr; once the user clicks Exit the watch ends with
# 1; and when the watch itself is ended, no launcher stays behind. The
# skin's folder and description have a blank and a non-ASCII letter in
# their names, which the launcher's command line must carry.
source "$(dirname "$0")/lib.sh" "$@"

TOOL=$BUILD_DIR/portico-skin.exe
[[ -f "$TOOL" ]] || { echo "$TEST_NAME: no portico-skin.exe in $BUILD_DIR" >&2; exit 1; }
skin=$(make_skin "watch ñ")
mv "$skin/portico.ini" "$skin/my skin.ini"
ini="$skin/my skin.ini"

# The Unix pid of the process that shows window WIN (Wine sets it).
window_pid() {
  xprop -id "$1" _NET_WM_PID 2>/dev/null | awk '{print $3}'
}

# Waits up to 20 s for a launcher window of a process other than OLD_PID
# and sets WIN to it. (X window ids come back once their client is gone.)
wait_new_window() {
  local old=$1 i w pid
  for ((i = 0; i < 200; i++)); do
    for w in $(portico_windows); do
      # A window going away has no pid left to read: it is not a new one.
      pid=$(window_pid "$w")
      [[ -n "$pid" && "$pid" != "$old" ]] && { WIN=$w WIN_PID=$pid; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# When WIN is gone but its process shows another window (a window system
# may replace a window's X window), makes WIN that one and reads its place.
same_process_window() {
  local w
  for w in $(portico_windows); do
    [[ "$(window_pid "$w")" == "$WIN_PID" ]] && WIN=$w && window_geometry "$WIN" && return 0
  done
  return 1
}

# Waits up to 5 s for window WIN to be at X,Y; sets WIN_X and WIN_Y.
wait_position() {
  local i
  for ((i = 0; i < 50; i++)); do
    WIN_X=? WIN_Y=?  # not a stale place if the window is gone
    window_geometry "$WIN" || same_process_window
    [[ "$WIN_X,$WIN_Y" == "$1,$2" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to 10 s for a line matching PATTERN in the watch's output.
wait_output() {
  local i
  for ((i = 0; i < 100; i++)); do
    grep -qE "$1" "$WORK/watch.out" "$WORK/watch.err" && return 0
    sleep 0.1
  done
  return 1
}

park_pointer
(cd "$skin" && exec "$WINELOADER" "$TOOL" watch "my skin.ini" 2.0) >"$WORK/watch.out" 2>"$WORK/watch.err" &
WATCH_PID=$!
STARTED_PIDS+=("$WATCH_PID")

if ! wait_new_window none; then
  fail "no launcher window appeared"
  cat "$WORK/watch.out" "$WORK/watch.err" >&2
  finish
fi
grep -q "my skin.ini: no findings" "$WORK/watch.out" && pass "the demo skin is checked clean" ||
  fail "no clean check of the demo skin: $(cat "$WORK/watch.out")"

# The user moves the window somewhere else.
sleep 0.5
xdotool windowmove "$WIN" 100 120
wait_position 100 120 || fail "the window did not move to 100,120 (at $WIN_X,$WIN_Y)"
sleep 0.5  # the watch looks for the window ten times a second
first=$(window_pid "$WIN")

# A change the check has something to say about: the dial's radii swapped.
sed -i 's/^b5=Dial,344,74,113,113,400,130,56,36/b5=Dial,344,74,113,113,400,130,36,56/' "$ini"
if wait_new_window "$first"; then
  wait_position 100 120 && pass "the restarted launcher's window is where the user left it" ||
    fail "the restarted window is at $WIN_X,$WIN_Y, the user left it at 100,120"
else
  fail "the launcher did not start again after the change"
fi
wait_output '^my skin.ini:16: warning: the ring falls back to a rectangle' &&
  pass "the change's finding was printed" || fail "no finding for the swapped radii: $(cat "$WORK/watch.out")"

# Without "Exit" the launcher ends quietly, saying why; the watch goes on.
second=$(window_pid "$WIN")
sed -i '/=Exit,/d' "$ini"
wait_output 'ended without showing the skin' && pass "the quiet exit was noticed" || fail "no word of the quiet exit"
wait_output 'portico: my skin.ini: no control named "Exit"' && pass "the launcher's reason reached the tool's stderr" ||
  fail "the launcher's reason is not on the tool's stderr: $(cat "$WORK/watch.err")"
is_running "$WATCH_PID" && pass "the watch goes on after a quiet exit" || fail "the watch ended after a quiet exit"

# Exit comes back; the user clicks it; the watch ends with 1.
sed -i "/^b1=Install,/a b2=Exit,168,236,120,40" "$ini"
if wait_new_window "$second" && wait_position 100 120; then
  read -r EX EY EW EH < <(control_rect "$ini" Exit)
  pointer_at $((EX + EW / 2)) $((EY + EH / 2))
  sleep 0.5
  xdotool click 1
  wait_exit "$WATCH_PID" 10
  [[ "$EXIT_CODE" == 1 ]] && pass "the watch ended with the launcher's exit code 1" ||
    fail "the watch ended with $EXIT_CODE after Exit was clicked"
else
  fail "the launcher did not start again once Exit was back (window at ${WIN_X:-?},${WIN_Y:-?})"
  wait_exit "$WATCH_PID" 1
fi

# Ended from outside, the watch takes its launcher with it.
park_pointer
(cd "$skin" && exec "$WINELOADER" "$TOOL" watch "my skin.ini" 2.0) >"$WORK/watch.out" 2>"$WORK/watch.err" &
WATCH_PID=$!
STARTED_PIDS+=("$WATCH_PID")
if wait_new_window none; then
  kill -TERM "$WATCH_PID"
  wait_exit "$WATCH_PID" 10
  for ((i = 0; i < 50; i++)); do
    [[ -z $(portico_windows) ]] && break
    sleep 0.1
  done
  [[ -z $(portico_windows) ]] && pass "no launcher outlives the watch" || fail "the launcher outlived the watch"
else
  fail "no launcher window appeared for the second watch"
fi

finish
