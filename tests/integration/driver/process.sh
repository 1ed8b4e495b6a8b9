# Starting the launcher and the skin tool the adapter's way, and waiting
# for processes to end.
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the scenarios

# Extra environment for the launcher: an array of NAME=VALUE.
PORTICO_ENV=()

# Starts the launcher in folder DIR with the given arguments, in the
# background. Sets PORTICO_PID, PORTICO_OUT and PORTICO_ERR.
start_launcher() {
  local dir=$1
  shift
  PORTICO_OUT=$WORK/portico.$RANDOM.out
  PORTICO_ERR=${PORTICO_OUT%.out}.err
  (cd "$dir" && exec env "${PORTICO_ENV[@]}" "${RUNNER[@]}" "$PORTICO" "$@") >"$PORTICO_OUT" 2>"$PORTICO_ERR" &
  PORTICO_PID=$!
  STARTED_PIDS+=("$PORTICO_PID")
}

# Sets TOOL to the build's portico-skin; ends the test when there is none.
need_tool() {
  TOOL=$BUILD_DIR/$TOOL_NAME
  [[ -f "$TOOL" ]] || { echo "$TEST_NAME: no $TOOL_NAME in $BUILD_DIR" >&2; exit 1; }
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

# Checks that the launcher ends with exit code CODE in the adapter's time.
# Usage: expect_exit_code CODE WHAT
expect_exit_code() {
  wait_exit "$PORTICO_PID" "$EXIT_WAIT"
  [[ "$EXIT_CODE" == "$1" ]] && pass "$2" || fail "$2: exit code $EXIT_CODE, expected $1"
}

# Process CPU time (user + system) in clock ticks.
cpu_ticks() {
  awk '{print $14 + $15}' "/proc/$1/stat"
}
