#!/usr/bin/env bash
# Runs the launcher under valgrind memcheck through a scripted session on
# the demo skin (start, hover, press, drag, click "Exit") and fails on any
# definite leak or invalid access. Then measures the peak memory of the
# same session without valgrind. Needs DISPLAY (scripts/with-x.sh).
# Usage: session.sh PORTICO_BINARY SOURCE_DIR BUILD_DIR [VALGRIND_BINARY]
# VALGRIND_BINARY is the launcher built on the shared C library, when
# PORTICO_BINARY is linked fully statically (valgrind cannot follow the
# heap of a static program).
set -uo pipefail
portico=$(realpath "$1")
source_dir=$(realpath "$2")
build_dir=$(realpath "$3")
checked=$(realpath "${4:-$1}")
work=$(mktemp -d "${TMPDIR:-/tmp}/portico-memcheck.XXXXXX")
trap 'kill -KILL "${pid:-0}" 2>/dev/null; rm -rf "$work"' EXIT
cp "$source_dir"/demo/* "$work"/
log=$build_dir/memcheck.log

# Waits for the launcher's window and prints "x y" of its top-left corner.
window_origin() {
  local id
  id=$(timeout 90 xdotool search --sync --onlyvisible --classname portico | head -n 1) || return 1
  sleep 0.5
  xdotool getwindowgeometry --shell "$id" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}'
}

# Drives one session: hover "Install", press and release off it, and drag
# the window by empty space.
drive_session() {
  local x y
  read -r x y < <(window_origin) || { echo "memcheck: no window" >&2; return 1; }
  xdotool mousemove $((x + 90)) $((y + 256)); sleep 0.5
  xdotool mousemove $((x + 92)) $((y + 258)); sleep 0.5
  xdotool mousedown 1; sleep 0.3
  xdotool mousemove $((x + 240)) $((y + 120)); sleep 0.3
  xdotool mouseup 1; sleep 0.5
  xdotool mousemove $((x + 240)) $((y + 120)); sleep 0.3
  xdotool mousedown 1; sleep 0.3
  xdotool mousemove $((x + 260)) $((y + 140)); sleep 0.3
  xdotool mouseup 1; sleep 0.5
}

# Clicks "Exit", which ends the session.
click_exit() {
  local x y
  read -r x y < <(window_origin)
  xdotool mousemove $((x + 228)) $((y + 256)); sleep 0.5
  xdotool mousedown 1; sleep 0.3
  xdotool mouseup 1
}

(cd "$work" && exec valgrind --leak-check=full --show-leak-kinds=definite \
  --errors-for-leak-kinds=definite --error-exitcode=99 --log-file="$log" \
  "$checked" portico.ini "1.0") &
pid=$!
drive_session
click_exit
for ((i = 0; i < 600; i++)); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
wait $pid
code=$?
status=0
if [[ $code != 1 ]]; then
  echo "memcheck: expected exit code 1 from the Exit click, got $code (see $log)" >&2
  status=1
fi
if grep -qE 'Invalid (read|write)|uninitialised|definitely lost: [1-9]' "$log"; then
  echo "memcheck: valgrind reported errors:" >&2
  grep -E 'Invalid|uninitialised|definitely lost' "$log" >&2
  status=1
fi
grep -E 'definitely lost|ERROR SUMMARY' "$log"

# Peak resident memory of the same session, without valgrind.
(cd "$work" && exec "$portico" portico.ini "1.0") &
pid=$!
drive_session
peak=$(awk '/VmHWM/{print $2, $3}' /proc/$pid/status 2>/dev/null)
click_exit
for ((i = 0; i < 100; i++)); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
wait $pid
echo "peak resident memory of the demo session: ${peak:-unknown}"
exit $status
