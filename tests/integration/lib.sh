# Shared helpers of the X11 integration tests. A test sources this file with
# its own arguments:   source "$(dirname "$0")/lib.sh" "$@"
# Arguments: PORTICO_BINARY SOURCE_DIR BUILD_DIR. DISPLAY must be set.
# Provides a work folder ($WORK) that is removed at the end, a watchdog that
# ends a test that runs too long, and cleanup of every process started here.
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the sourcing test

set -uo pipefail

if [[ $# -lt 3 ]]; then
  echo "usage: $0 PORTICO_BINARY SOURCE_DIR BUILD_DIR" >&2
  exit 2
fi
PORTICO=$(realpath "$1")
SOURCE_DIR=$(realpath "$2")
BUILD_DIR=$3
TEST_NAME=$(basename "$0" .sh)
PIXELS="python3 $SOURCE_DIR/tests/integration/pixels.py"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/portico-$TEST_NAME.XXXXXX")
STARTED_PIDS=()
FAILURES=0

[[ -x "$PORTICO" ]] || { echo "$TEST_NAME: no binary at $PORTICO" >&2; exit 1; }
[[ -n "${DISPLAY:-}" ]] || { echo "$TEST_NAME: DISPLAY is not set (run under scripts/with-x.sh)" >&2; exit 1; }

# Stops every process this test started and removes the work folder.
cleanup() {
  local pid
  # A test may define test_cleanup to undo its own changes to the display.
  declare -F test_cleanup >/dev/null && test_cleanup
  for pid in "${STARTED_PIDS[@]}"; do
    kill -TERM "$pid" 2>/dev/null
  done
  sleep 0.1
  for pid in "${STARTED_PIDS[@]}"; do
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'echo "$TEST_NAME: interrupted" >&2; exit 143' TERM INT

# A watchdog: no test may run longer than 100 s, even if a wait goes wrong.
(
  for ((i = 0; i < 1000; i++)); do
    sleep 0.1
    kill -0 $$ 2>/dev/null || exit 0
  done
  echo "$TEST_NAME: watchdog: test ran too long" >&2
  kill -TERM $$ 2>/dev/null
) &
STARTED_PIDS+=($!)

# Reports a failed check and carries on; the test fails at the end.
fail() {
  echo "FAIL: $*" >&2
  FAILURES=$((FAILURES + 1))
}

# Reports a passed check.
pass() {
  echo "ok: $*"
}

# Ends the test: exit code 1 when any check failed.
finish() {
  if ((FAILURES > 0)); then
    echo "$TEST_NAME: $FAILURES check(s) failed" >&2
    exit 1
  fi
  echo "$TEST_NAME: all checks passed"
  exit 0
}

# Copies the demo skin into a new folder under $WORK and prints its path.
make_skin() {
  local dir=$WORK/$1
  mkdir -p "$dir"
  cp "$SOURCE_DIR"/demo/* "$dir"/
  echo "$dir"
}

# Reads the control rectangle "x y w h" of a control from a description file.
control_rect() {
  local ini=$1 name=$2
  grep -E "^[^;=]*=$name," "$ini" | head -n 1 | cut -d= -f2- | awk -F, '{print $2, $3, $4, $5}'
}

# Moves the pointer off any window we test (the top-left screen corner).
park_pointer() {
  xdotool mousemove 0 0 >/dev/null 2>&1
}

# Starts portico in folder DIR with the given arguments, in the background.
# Sets PORTICO_PID, PORTICO_OUT and PORTICO_ERR. Extra environment can be
# passed in PORTICO_ENV (an array of NAME=VALUE).
start_portico() {
  local dir=$1
  shift
  PORTICO_OUT=$WORK/portico.$RANDOM.out
  PORTICO_ERR=${PORTICO_OUT%.out}.err
  (cd "$dir" && exec env "${PORTICO_ENV[@]}" "$PORTICO" "$@") >"$PORTICO_OUT" 2>"$PORTICO_ERR" &
  PORTICO_PID=$!
  STARTED_PIDS+=("$PORTICO_PID")
}
PORTICO_ENV=()

# Parks the pointer, starts portico in SKIN with portico.ini and VERSION and
# waits for its window, whose id goes to WIN. When none appears, reports it,
# ends the process and returns 1.
start_skin_window() {
  park_pointer
  start_portico "$1" portico.ini "$2"
  if ! WIN=$(wait_portico_window 10); then
    fail "no portico window appeared"
    cat "$PORTICO_ERR" >&2
    wait_exit "$PORTICO_PID" 1
    return 1
  fi
}

# Whether a process still runs (a zombie counts as ended).
is_running() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [[ -n "$state" && "$state" != Z ]]
}

# Waits up to TIMEOUT seconds (default 10) for process PID to end and sets
# EXIT_CODE; a process that does not end is killed and EXIT_CODE is "hung".
wait_exit() {
  local pid=$1 timeout=${2:-10} i
  for ((i = 0; i < timeout * 10; i++)); do
    is_running "$pid" || break
    sleep 0.1
  done
  if is_running "$pid"; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    EXIT_CODE=hung
    return 1
  fi
  wait "$pid"
  EXIT_CODE=$?
  return 0
}

# Prints the visible windows that belong to portico (by class, instance
# name or title), one id a line.
portico_windows() {
  {
    xdotool search --onlyvisible --class '^portico$' 2>/dev/null
    xdotool search --onlyvisible --classname '^portico$' 2>/dev/null
    xdotool search --onlyvisible --name '^FormInstall$' 2>/dev/null
  } | sort -u
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

# Waits for the main portico window (class Portico) and prints its id.
wait_portico_window() {
  wait_window "${1:-10}" --class '^Portico$'
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

# Sets SCREEN_W and SCREEN_H from the display.
screen_size() {
  local dims
  dims=$(xdpyinfo | awk '/dimensions:/ {print $2; exit}')
  SCREEN_W=${dims%x*}
  SCREEN_H=${dims#*x}
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

# Saves a screenshot of the whole screen to FILE.
screenshot() {
  import -window root "$1"
}

# Prints the screen pixel at (X, Y) of a screenshot as rrggbb.
pixel() {
  convert "$1" -format '%[hex:p{'"$2,$3"'}]' info: | tr 'A-F' 'a-f' | cut -c1-6
}

# Counts mismatching pixels of a rectangle between a screenshot (window at
# OX, OY) and a skin image; prints "MISMATCHES COMPARED". See pixels.py.
compare_region() {
  $PIXELS diff "$@"
}

# Process CPU time (user + system) in clock ticks.
cpu_ticks() {
  awk '{print $14 + $15}' "/proc/$1/stat"
}

# Moves the pointer to (X, Y) in the coordinates of the window last measured
# with window_geometry.
pointer_at() {
  xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2))
}

# Checks that the rectangle X Y W H of the screenshot (window at WIN_X,
# WIN_Y) equals the skin image REF there, ignoring pixels the mask cuts away
# and anything passed as further pixels.py options (e.g. --exclude X,Y,W,H).
# Usage: expect_region DESCRIPTION SHOT REF X Y W H [OPTIONS...]
expect_region() {
  local what=$1 shot=$2 ref=$3 bad total
  shift 3
  read -r bad total < <($PIXELS diff "$shot" "$WIN_X" "$WIN_Y" "$ref" "$@")
  if [[ -z "$total" || "$total" == 0 ]]; then
    fail "$what: nothing compared"
  elif [[ "$bad" == 0 ]]; then
    pass "$what ($total pixels)"
  else
    fail "$what: $bad of $total pixels differ from $(basename "$ref")"
  fi
}

# The pixels.py option that leaves out the pointer's surroundings at the
# window point (X, Y), in case the screenshot shows the cursor.
cursor_exclude() {
  echo "--exclude $(($1 - 12)),$(($2 - 12)),32,32"
}
