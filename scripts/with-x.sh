#!/usr/bin/env bash
# Runs a command with a working X display: scripts/with-x.sh CMD [ARGS...]
# Uses $DISPLAY when it answers; otherwise starts a private Xvfb (1280x1024,
# 24-bit) on a free display with openbox as window manager, runs the
# command there, stops both afterwards and exits with the command's code.
# With PORTICO_COMPOSITOR=picom the private display also gets a compositing
# manager: picom with its xrender backend, no shadows and no fading, so
# that screen pixels are exact.
set -uo pipefail

[[ $# -gt 0 ]] || { echo "usage: $0 CMD [ARGS...]" >&2; exit 2; }

# Whether the display named by $DISPLAY answers.
display_works() {
  [[ -n "${DISPLAY:-}" ]] && timeout 5 xdpyinfo >/dev/null 2>&1
}

# Waits up to $1 tenths of a second for a command to succeed.
wait_for() {
  local tenths=$1
  shift
  local i
  for ((i = 0; i < tenths; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Whether the root window names a running window manager.
wm_running() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Whether a compositing manager owns the selection _NET_WM_CM_S0.
compositor_running() {
  python3 -c '
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, b"_NET_WM_CM_S0", 0)) else 1)'
}

if display_works; then
  "$@"
  exit $?
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/portico-x.XXXXXX")
xvfb_pid=
wm_pid=
compositor_pid=

# Stops the window manager and the server we started, and removes our files.
cleanup() {
  [[ -n "$compositor_pid" ]] && kill "$compositor_pid" 2>/dev/null && wait "$compositor_pid" 2>/dev/null
  [[ -n "$wm_pid" ]] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Starts Xvfb on display number $1; true once it answers, false (and
# stopped again) when it does not come up, e.g. because the number was taken.
start_xvfb() {
  local n=$1
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local i
  for ((i = 0; i < 100; i++)); do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
  return 1
}

# A free display number has neither a lock file nor a socket; Xvfb's own
# lock settles a race with another script that picked the same number.
started=
for ((n = 100; n < 200; n++)); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
  if start_xvfb "$n"; then
    started=$n
    break
  fi
done
if [[ -z "$started" ]]; then
  echo "with-x: could not start Xvfb:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$started"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
if ! wait_for 100 wm_running; then
  echo "with-x: warning: openbox did not announce itself within 10 s" >&2
  cat "$work/openbox.log" >&2
fi

case "${PORTICO_COMPOSITOR:-}" in
  "") ;;
  picom)
    picom --backend xrender --config /dev/null --no-fading-openclose >"$work/picom.log" 2>&1 &
    compositor_pid=$!
    if ! wait_for 100 compositor_running; then
      echo "with-x: picom did not take the compositing selection within 10 s" >&2
      cat "$work/picom.log" >&2
      exit 1
    fi
    ;;
  *)
    echo "with-x: unknown compositor '$PORTICO_COMPOSITOR'" >&2
    exit 2
    ;;
esac

"$@"
rc=$?
exit $rc
