# The frame of every scenario: its arguments, the adapter it runs through,
# a work folder removed at the end, a watchdog, cleanup of every process
# started here, and the tally of checks.
# Arguments: ADAPTER LAUNCHER SOURCE_DIR BUILD_DIR (see driver.sh).
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the scenarios

set -uo pipefail

if [[ $# -lt 4 ]]; then
  echo "usage: $0 ADAPTER LAUNCHER SOURCE_DIR BUILD_DIR" >&2
  exit 2
fi
ADAPTER=$1
PORTICO=$(realpath "$2")
SOURCE_DIR=$(realpath "$3")
# Absolute, since scenarios run programs from the skin's folder.
BUILD_DIR=$(realpath -m "$4")
TEST_NAME=$(basename "$0" .sh)
SCENARIO=${TEST_NAME#test_}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/portico-$TEST_NAME.XXXXXX")
STARTED_PIDS=()
FAILURES=0
# Checks of the shared scenarios that an adapter leaves out: "scenario.check"
# to the reason, filled in by the adapter.
declare -A NOT_RUN=()

# Stops every process this test started and removes the work folder.
cleanup() {
  local pid
  # A scenario may define test_cleanup to undo its own changes to the display.
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
    echo "$TEST_NAME ($ADAPTER): $FAILURES check(s) failed" >&2
    exit 1
  fi
  echo "$TEST_NAME ($ADAPTER): all checks passed"
  exit 0
}

# Whether this adapter runs the scenario's check NAME; says so when not.
# Usage: if runs NAME; then ...; fi
runs() {
  local id=$SCENARIO.$1
  [[ -v "NOT_RUN[$id]" ]] || return 0
  echo "not run here: $id (${NOT_RUN[$id]})"
  return 1
}

# A misspelt entry in an adapter's NOT_RUN would leave nothing out and say
# nothing: every entry for this scenario must name one of its checks.
check_not_run_entries() {
  local id
  for id in "${!NOT_RUN[@]}"; do
    [[ "$id" == "$SCENARIO".* ]] || continue
    grep -qE "runs ${id#"$SCENARIO".}( |;|$)" "$0" && continue
    echo "$TEST_NAME: adapter $ADAPTER leaves out $id, which this scenario does not have" >&2
    exit 2
  done
}
