# The Linux binary on sway's XWayland display (sway 1.7 headless, started
# by scripts/with-sway.sh). Input comes from xdotool, which XWayland takes
# for its X clients only: sway's own pointer does not see it.
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the driver

source "$(dirname "${BASH_SOURCE[0]}")/x11.sh"

SHOWN_PAUSE=0.5
# grim leaves the cursor out; XWayland always composites; sway carries out
# a move with its own pointer, so a drag leaves the window where it is.
SHOT_SHOWS_CURSOR=no ALWAYS_COMPOSITED=yes DRAG_MOVES_WINDOW=no

# Saves a screenshot of sway's output to FILE (PPM); grim runs as the sway user.
screenshot() {
  su "$SWAY_USER" -s /bin/sh -c \
    "XDG_RUNTIME_DIR=$SWAY_RUNTIME_DIR WAYLAND_DISPLAY=$SWAY_WAYLAND_DISPLAY grim -t ppm -" >"$1"
}

# Checks of the shared scenarios this platform leaves out.
so_far="not run on XWayland so far"
NOT_RUN=(
  [pointer.hover_leaves_exit]=$so_far
  [pointer.install_click]=$so_far
  [pointer.quick_exit_click]=$so_far
  [pointer.idle]=$so_far
  [pointer.normal_after_release]=$so_far
  [pointer.raised_window]=$so_far
  [pointer.url]=$so_far
  [shape.kept_normal]=$so_far
  [shape.notch]=$so_far
  [shape.cut_away_press]="XWayland 22 does not pass the X input shape on to sway; not run so far"
  [shape.escape]=$so_far
  [shape.mask_alone]=$so_far
)

adapter_setup() {
  [[ -n "${SWAY_USER:-}" ]] || { echo "$TEST_NAME: run under scripts/with-sway.sh" >&2; exit 1; }
}
