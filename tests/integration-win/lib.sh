# Shared helpers of the Windows integration tests: the X11 tests' helpers
# (tests/integration/lib.sh), with portico.exe started under Wine in the
# build tree's prefix. A test sources this file with its own arguments:
#   source "$(dirname "$0")/lib.sh" "$@"
# Arguments: PORTICO_EXE SOURCE_DIR BUILD_DIR. DISPLAY must be set.
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the sourcing test

source "$(dirname "${BASH_SOURCE[0]}")/../integration/lib.sh" "$@"
source "$SOURCE_DIR/scripts/wine-env.sh" "$BUILD_DIR/wine"
[[ -f "$WINEPREFIX/system.reg" ]] || { echo "$TEST_NAME: no Wine prefix at $WINEPREFIX" >&2; exit 1; }
# One Wine server for the whole test, so that each start is quick; it ends
# by itself a few seconds after the last program.
"$(dirname "$WINELOADER")/wineserver" -p5 >/dev/null 2>&1

# Starts portico.exe under Wine in folder DIR with the given arguments, in
# the background. Sets PORTICO_PID, PORTICO_OUT and PORTICO_ERR; extra
# environment comes from PORTICO_ENV (an array of NAME=VALUE).
start_portico() {
  local dir=$1
  shift
  PORTICO_OUT=$WORK/portico.$RANDOM.out
  PORTICO_ERR=${PORTICO_OUT%.out}.err
  (cd "$dir" && exec env "${PORTICO_ENV[@]}" "$WINELOADER" "$PORTICO" "$@") >"$PORTICO_OUT" 2>"$PORTICO_ERR" &
  PORTICO_PID=$!
  STARTED_PIDS+=("$PORTICO_PID")
}

# Wine names the X window's class after the executable: the title finds ours.
portico_windows() {
  xdotool search --onlyvisible --name '^FormInstall$' 2>/dev/null | sort -u
}

wait_portico_window() {
  wait_window "${1:-20}" --name '^FormInstall$'
}

# Wine's first start in a session takes seconds.
start_skin_window() {
  park_pointer
  start_portico "$1" portico.ini "$2"
  if ! WIN=$(wait_portico_window 20); then
    fail "no portico window appeared"
    cat "$PORTICO_ERR" >&2
    wait_exit "$PORTICO_PID" 1
    return 1
  fi
}

# Types a key that ends portico.exe (Escape, Return, Alt+F4) into a window.
# HACK: Wine drops a key that arrives while it is still taking over the
# focus; the key is typed again, up to three times, while the program runs.
send_key() {
  local win=$1 key=$2 attempt i
  for ((attempt = 0; attempt < 3; attempt++)); do
    timeout 3 xdotool windowactivate --sync "$win" >/dev/null 2>&1 ||
      timeout 3 xdotool windowfocus --sync "$win" >/dev/null 2>&1
    sleep 0.2
    xdotool key "$key"
    for ((i = 0; i < 20; i++)); do
      is_running "$PORTICO_PID" || return 0
      sleep 0.1
    done
  done
}
