#!/usr/bin/env bash
# Installs the dependencies, builds Portico and runs the demo skin.
# With a working display the demo window opens for you to try; without one
# it runs in a private X server, a screenshot is saved to
# build/demo-screenshot.png and the window is closed again.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$root/build
version="1.0 demo"

# Runs the demo in the current display and reports how it ended.
run_interactive() {
  local rc=0
  (cd "$root/demo" && "$build_dir/portico" portico.ini "$version") || rc=$?
  case $rc in
    1) echo "demo: ended with Exit (exit code 1)" ;;
    0) echo "demo: ended with exit code 0 (Install, Escape or closed)" ;;
    *) echo "demo: ended with exit code $rc" ;;
  esac
}

# Starts the demo, waits for its window, saves a screenshot and closes it.
# Runs inside scripts/with-x.sh.
run_with_screenshot() {
  local shot=$build_dir/demo-screenshot.png pid win="" i rc=0
  (cd "$root/demo" && exec "$build_dir/portico" portico.ini "$version") &
  pid=$!
  for ((i = 0; i < 100; i++)); do
    win=$(xdotool search --onlyvisible --class '^Portico$' 2>/dev/null | head -n 1) || true
    [[ -n "$win" ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ -z "$win" ]]; then
    echo "demo: the window did not appear" >&2
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 1
  fi
  sleep 0.5  # let the first frame reach the screen
  import -window root "$shot"
  echo "demo: screenshot saved to $shot"
  xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus "$win" >/dev/null 2>&1 || true
  xdotool key Escape
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "demo: still running after Escape; stopping it" >&2
    kill "$pid" 2>/dev/null || true
  fi
  wait "$pid" || rc=$?
  echo "demo: exit code $rc"
}

main() {
  if [[ "${1:-}" == --screenshot ]]; then
    run_with_screenshot
    return
  fi
  bash "$root/scripts/install-deps.sh"
  bash "$root/scripts/build.sh" default "$build_dir"
  if [[ -n "${DISPLAY:-}" ]] && timeout 5 xdpyinfo >/dev/null 2>&1; then
    run_interactive
  else
    bash "$root/scripts/with-x.sh" bash "$root/scripts/demo.sh" --screenshot
  fi
}

main "$@"
