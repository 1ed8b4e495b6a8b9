#!/usr/bin/env bash
# Runs a command with an XWayland display: scripts/with-sway.sh CMD [ARGS...]
# Starts sway headless (pixman renderer, no input devices) as the
# unprivileged user portico-sway, which scripts/install-deps.sh adds (sway
# refuses to run as root), lets root's X clients in, runs the command with DISPLAY
# set to sway's XWayland display, then stops sway and its XWayland.
# The command also gets SWAY_RUNTIME_DIR, SWAY_WAYLAND_DISPLAY and
# SWAY_USER, for Wayland clients such as grim run as that user.
set -uo pipefail

[[ $# -gt 0 ]] || { echo "usage: $0 CMD [ARGS...]" >&2; exit 2; }
[[ $(id -u) -eq 0 ]] || { echo "with-sway: run as root (it starts sway as another user)" >&2; exit 2; }

SWAY_USER=portico-sway
id "$SWAY_USER" >/dev/null 2>&1 ||
  { echo "with-sway: no user $SWAY_USER (scripts/install-deps.sh adds it)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/portico-sway.XXXXXX")
chmod 0755 "$work"
runtime=$work/runtime
mkdir -m 0700 "$runtime"
chown "$SWAY_USER" "$runtime"
sway_pid=

# Runs a shell command as the sway user with its runtime folder.
as_sway_user() {
  su "$SWAY_USER" -s /bin/sh -c "export XDG_RUNTIME_DIR=$runtime; $1"
}

# Stops sway (which stops its XWayland) and removes our files.
cleanup() {
  if [[ -n "$sway_pid" ]]; then
    local xwayland
    xwayland=$(pgrep -P "$sway_pid" -x Xwayland)
    kill "$sway_pid" 2>/dev/null
    for ((i = 0; i < 50; i++)); do
      kill -0 "$sway_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$sway_pid" 2>/dev/null
    [[ -n "$xwayland" ]] && kill -KILL "$xwayland" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cat >"$work/config" <<CONFIG
xwayland enable
output HEADLESS-1 resolution 1280x1024
CONFIG
chmod 0644 "$work/config"

sockets_before=$(ls /tmp/.X11-unix 2>/dev/null)
as_sway_user "echo \$\$ >$runtime/sway.pid; WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman exec sway -c $work/config" \
  >"$work/sway.log" 2>&1 &
for ((i = 0; i < 100; i++)); do
  [[ -s "$runtime/sway.pid" ]] && sway_pid=$(cat "$runtime/sway.pid")
  wayland=$(cd "$runtime" && ls wayland-* 2>/dev/null | grep -v '\.lock$' | head -n 1)
  display=$(comm -13 <(echo "$sockets_before" | sort) <(ls /tmp/.X11-unix 2>/dev/null | sort) | sed -n 's/^X\([0-9]*\)$/\1/p' | head -n 1)
  [[ -n "$sway_pid" && -n "$wayland" && -n "$display" ]] && break
  sleep 0.1
done
if [[ -z "$sway_pid" || -z "$wayland" || -z "$display" ]]; then
  echo "with-sway: sway did not come up with an XWayland display:" >&2
  cat "$work/sway.log" >&2
  exit 1
fi

# XWayland starts on the first connection; root's clients may connect once
# the sway user allows them.
for ((i = 0; i < 100; i++)); do
  as_sway_user "DISPLAY=:$display xhost +si:localuser:root" >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY=:$display
if ! timeout 5 xdpyinfo >/dev/null 2>&1; then
  echo "with-sway: the XWayland display :$display does not answer" >&2
  cat "$work/sway.log" >&2
  exit 1
fi
export SWAY_RUNTIME_DIR=$runtime SWAY_WAYLAND_DISPLAY=$wayland SWAY_USER

"$@"
exit $?
