#!/usr/bin/env bash
# portico-skin watch runs the launcher on a skin; its status line tells
# what lies under the pointer as the pointer moves; when a file of the skin
# changes it names it, prints the check's findings and starts the launcher again where
# the user had moved its window; a launcher that ends without showing the
# skin is waited out, its reason reaching the tool's stderr; the watch ends
# with the launcher's exit code once the user chooses (here "Exit"); and on
# Windows, when the watch itself is ended, no launcher stays behind.
source "$(dirname "$0")/../driver/driver.sh" "$@"

need_tool
skin=$(make_skin "$WATCH_SKIN")
[[ "$WATCH_INI" == portico.ini ]] || mv "$skin/portico.ini" "$skin/$WATCH_INI"
ini=$skin/$WATCH_INI

# Starts the watch on the skin in the background; sets WATCH_PID.
start_watch() {
  park_pointer
  (cd "$skin" && exec "${RUNNER[@]}" "$TOOL" watch "$WATCH_INI" 2.0 "${WATCH_LAUNCHER_ARGS[@]}") \
    >"$WORK/watch.out" 2>"$WORK/watch.err" &
  WATCH_PID=$!
  STARTED_PIDS+=("$WATCH_PID")
}

# Waits for a launcher window of a process other than OLD_PID and sets WIN
# to it. (X window ids come back once their client is gone.)
wait_new_window() {
  local old=$1 i w pid
  for ((i = 0; i < WINDOW_WAIT * 10; i++)); do
    for w in $(launcher_windows); do
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
  for w in $(launcher_windows); do
    [[ "$(window_pid "$w")" == "$WIN_PID" ]] && WIN=$w && window_geometry "$WIN" && return 0
  done
  return 1
}

# Waits for window WIN to be at X,Y; sets WIN_X and WIN_Y.
wait_position() {
  local i
  for ((i = 0; i < WAIT_FACTOR * 30; i++)); do
    WIN_X='?' WIN_Y='?'  # not a stale place if the window is gone
    window_geometry "$WIN" || same_process_window
    [[ "$WIN_X,$WIN_Y" == "$1,$2" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Waits for a line matching PATTERN in the watch's output.
wait_output() {
  local i
  for ((i = 0; i < WAIT_FACTOR * 50; i++)); do
    grep -qE "$1" "$WORK/watch.out" "$WORK/watch.err" && return 0
    sleep 0.1
  done
  return 1
}

start_watch
if ! wait_new_window none; then
  fail "no launcher window appeared"
  cat "$WORK/watch.out" "$WORK/watch.err" >&2
  finish
fi
# Clean: no findings, or notes only (the demo's arc has its sweep noted).
if grep -qE "^$WATCH_INI(:[0-9]+)?: (no findings|note: )" "$WORK/watch.out" &&
  ! grep -qE ': (warning|error): ' "$WORK/watch.out"; then
  pass "the demo skin is checked clean"
else
  fail "no clean check of the demo skin: $(cat "$WORK/watch.out")"
fi

# The user moves the window somewhere else.
pause_shown
if [[ "$WATCH_MOVE" == drag ]]; then
  window_geometry "$WIN"
  pointer_at $EMPTY_X $EMPTY_Y
  settle 0.2
  xdotool mousedown 1
  for step in 1 2 3 4; do
    xdotool mousemove $((WIN_X + EMPTY_X - 25 * step)) $((WIN_Y + EMPTY_Y - 20 * step))
    settle 0.1
  done
  xdotool mouseup 1
  settle 0.5
  window_geometry "$WIN"
  moved_x=$WIN_X moved_y=$WIN_Y
else
  moved_x=100 moved_y=120
  xdotool windowmove "$WIN" $moved_x $moved_y
  wait_position $moved_x $moved_y || fail "the window did not move to $moved_x,$moved_y (at $WIN_X,$WIN_Y)"
  sleep 0.5  # the watch looks for the window ten times a second
fi
first_pid=$(window_pid "$WIN")

# The status line follows the pointer: skin coordinates, the control the
# hit test finds, the Normal image's colour; and the scale factor is told.
window_geometry "$WIN"
read -r IX IY IW IH < <(control_rect "$ini" Install)
pointer_at $((IX + 5)) $((IY + 7))
wait_output "pointer at $((IX + 5)),$((IY + 7)): Install; Normal #[0-9a-f]{6}" &&
  pass "the status line names Install under the pointer" ||
  fail "no status line for Install: $(tail -c 300 "$WORK/watch.out" | tr '\r' '|')"
pointer_at $EMPTY_X $EMPTY_Y
wait_output "pointer at $EMPTY_X,$EMPTY_Y: no control, a press drags the window" &&
  pass "the status line follows the pointer to an empty spot" ||
  fail "the status line did not follow the pointer: $(tail -c 300 "$WORK/watch.out" | tr '\r' '|')"
wait_output "the launcher runs at scale factor 1 " && pass "the scale factor is told" ||
  fail "no scale factor: $(head -c 300 "$WORK/watch.out")"
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
wait_output "$WATCH_INI changed; restarting the launcher" && pass "the changed file is named" ||
  fail "the changed file is not named: $(head -c 300 "$WORK/watch.out")"
wait_output "^$WATCH_INI:16: warning: the ring falls back to a rectangle" &&
  pass "the change's finding was printed" || fail "no finding for the swapped radii: $(cat "$WORK/watch.out")"

# An image drawn for high-DPI screens, saved beside the 1x one, is a change
# of the skin too: the launcher reads it in its place there.
drawn_pid=$(window_pid "$WIN")
cp "$skin/normal.bmp" "$skin/normal@2x.bmp"
wait_output "normal@2x.bmp changed; restarting the launcher" && pass "an image saved for scale 2 is watched" ||
  fail "saving normal@2x.bmp went unnoticed: $(tail -c 300 "$WORK/watch.out" | tr '\r' '|')"
wait_new_window "$drawn_pid" || fail "the launcher did not start again after normal@2x.bmp was saved"

# Without "Exit" the launcher ends quietly, saying why; the watch goes on.
second_pid=$(window_pid "$WIN")
sed -i '/=Exit,/d' "$ini"
wait_output 'ended without showing the skin' && pass "the quiet exit was noticed" || fail "no word of the quiet exit"
wait_output "portico: $WATCH_INI: no control named \"Exit\"" && pass "the launcher's reason reached the tool's stderr" ||
  fail "the launcher's reason is not on the tool's stderr: $(cat "$WORK/watch.err")"
sleep 0.5
is_running "$WATCH_PID" && pass "the watch goes on after a quiet exit" || fail "the watch ended after a quiet exit"

# Exit comes back; the user clicks it; the watch ends with 1.
sed -i "/^b1=Install,/a b2=Exit,168,236,120,40" "$ini"
if wait_new_window "$second_pid"; then
  wait_position "$moved_x" "$moved_y" && pass "still where the user left it" ||
    fail "after the quiet exit the window is at $WIN_X,$WIN_Y, not $moved_x,$moved_y"
  read -r EX EY EW EH < <(control_rect "$ini" Exit)
  pointer_at $((EX + EW / 2)) $((EY + EH / 2))
  settle 0.3
  xdotool click 1
  wait_exit "$WATCH_PID" 10
  [[ "$EXIT_CODE" == 1 ]] && pass "the watch ended with the launcher's exit code 1" ||
    fail "the watch ended with $EXIT_CODE after Exit was clicked"
else
  fail "the launcher did not start again once Exit was back"
  wait_exit "$WATCH_PID" 1
fi

# Ended from outside, the watch takes its launcher with it.
if runs launcher_ends_with_watch; then
  start_watch
  if wait_new_window none; then
    kill -TERM "$WATCH_PID"
    wait_exit "$WATCH_PID" 10
    for ((i = 0; i < 50; i++)); do
      [[ -z $(launcher_windows) ]] && break
      sleep 0.1
    done
    [[ -z $(launcher_windows) ]] && pass "no launcher outlives the watch" || fail "the launcher outlived the watch"
  else
    fail "no launcher window appeared for the second watch"
  fi
fi

finish
