#!/usr/bin/env bash
# Portico under XWayland (sway 1.7 headless, run by scripts/with-sway.sh):
# the window is composited with transparent cut-away parts and soft edges,
# hover and press show their looks, leaving the window brings the normal
# look back, a press on the background hands the move to sway, a click on
# Exit ends with 1 and Escape with 0. Screenshots come from grim, run as
# the sway user; input comes from xdotool, which XWayland takes for its X
# clients only (sway's own pointer does not see it).
# Arguments: PORTICO_BINARY SOURCE_DIR BUILD_DIR.
source "$(dirname "$0")/../integration/lib.sh" "$@"

[[ -n "${SWAY_USER:-}" ]] || { echo "$TEST_NAME: run under scripts/with-sway.sh" >&2; exit 1; }

# Saves a screenshot of sway's output to FILE (PNG).
sway_screenshot() {
  su "$SWAY_USER" -s /bin/sh -c \
    "XDG_RUNTIME_DIR=$SWAY_RUNTIME_DIR WAYLAND_DISPLAY=$SWAY_WAYLAND_DISPLAY grim -" >"$1"
}

skin=$(make_skin demo)
ini=$skin/portico.ini
read -r IX IY IW IH < <(control_rect "$ini" Install)
read -r EX EY EW EH < <(control_rect "$ini" Exit)
EMPTY_X=240 EMPTY_Y=205
park_pointer
sway_screenshot "$WORK/beneath.png"
(cd "$skin" && "$BUILD_DIR/portico_compose" portico.ini "1.0 test" "$WORK/composed.ppm") ||
  fail "portico_compose could not compose the frame"

if start_skin_window "$skin" "1.0 test"; then
  sleep 0.5
  window_geometry "$WIN"
  [[ $(xwininfo -id "$WIN" | awk '/Depth:/ {print $2}') == 32 ]] &&
    pass "XWayland composites: the window has a 32-bit visual" || fail "the window has no 32-bit visual"

  sway_screenshot "$WORK/first.png"
  read -r clear clear_all opaque opaque_all soft soft_all < <($PIXELS blend "$WORK/first.png" "$WIN_X" "$WIN_Y" \
    "$WORK/composed.ppm" "$skin/alpha.bmp" "$WORK/beneath.png" 3)
  ((clear_all > 0)) && [[ "$clear" == "$clear_all" ]] &&
    pass "all $clear_all transparent pixels (cut-away corners and notch) show what lies beneath, not black" ||
    fail "$clear of $clear_all transparent pixels show what lies beneath"
  [[ "$opaque" == "$opaque_all" ]] && pass "all $opaque_all opaque pixels show the skin" ||
    fail "$opaque of $opaque_all opaque pixels show the skin"
  ((soft_all > 0)) && [[ "$soft" == "$soft_all" ]] && pass "all $soft_all soft-edge pixels blend with what lies beneath" ||
    fail "$soft of $soft_all soft-edge pixels blend with what lies beneath"

  pointer_at $((IX + IW / 2)) $((IY + IH / 2))
  sleep 0.4
  sway_screenshot "$WORK/hover.png"
  expect_region "hover over Install shows the Over look" "$WORK/hover.png" "$skin/over.bmp" $IX $IY $IW $IH
  xdotool mousedown 1
  sleep 0.4
  sway_screenshot "$WORK/down.png"
  expect_region "press on Install shows the Down look" "$WORK/down.png" "$skin/down.bmp" $IX $IY $IW $IH
  pointer_at $EMPTY_X $EMPTY_Y
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5
  is_running "$PORTICO_PID" && pass "a press on Install released elsewhere clicks nothing" ||
    fail "a press on Install released elsewhere ended the program"

  # Straight off the window from a lit control: normal within the poll.
  pointer_at $((IX + IW / 2)) $((IY + IH / 2))
  sleep 0.3
  xdotool mousemove 5 5
  sleep 0.4
  sway_screenshot "$WORK/left.png"
  expect_region "Install is normal after the pointer jumped off the window" "$WORK/left.png" \
    "$skin/normal.bmp" $IX $IY $IW $IH

  # A press on the background hands the move to sway; sway's pointer does
  # not follow xdotool, so the window must stay where sway keeps it and
  # Portico must go on as before.
  old_x=$WIN_X old_y=$WIN_Y
  pointer_at $EMPTY_X $EMPTY_Y
  sleep 0.2
  xdotool mousedown 1
  for step in 1 2 3 4; do
    xdotool mousemove $((old_x + EMPTY_X + 10 * step)) $((old_y + EMPTY_Y + 8 * step))
    sleep 0.1
  done
  xdotool mouseup 1
  sleep 0.5
  window_geometry "$WIN"
  [[ "$WIN_X,$WIN_Y" == "$old_x,$old_y" ]] && pass "a drag on the background leaves the window where sway keeps it" ||
    fail "a drag on the background moved the window from $old_x,$old_y to $WIN_X,$WIN_Y"
  pointer_at $((IX + IW / 2)) $((IY + IH / 2))
  sleep 0.4
  sway_screenshot "$WORK/after-drag.png"
  expect_region "after the drag Install lights up again" "$WORK/after-drag.png" "$skin/over.bmp" $IX $IY $IW $IH

  park_pointer
  send_key "$WIN" Escape
  wait_exit "$PORTICO_PID" 5
  [[ "$EXIT_CODE" == 0 ]] && pass "Escape ends with 0" || fail "after Escape: exit code $EXIT_CODE"
fi

if start_skin_window "$skin" "1.0 test"; then
  sleep 0.5
  window_geometry "$WIN"
  pointer_at $((EX + EW / 2)) $((EY + EH / 2))
  sleep 0.3
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  wait_exit "$PORTICO_PID" 5
  [[ "$EXIT_CODE" == 1 ]] && pass "a click on Exit ends with 1" || fail "a click on Exit: exit code $EXIT_CODE, expected 1"
fi
finish
