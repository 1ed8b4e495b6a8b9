#!/usr/bin/env bash
# Keyboard use of the demo, typed as a user types, into whatever has the
# keyboard focus: the window is never activated or named. The window takes
# the keyboard when it appears, and Escape right then ends with 0; before
# any key the first frame is the usual one; Tab and Shift+Tab move a focus
# through the enabled controls in description order, wrapping around, and
# the focused control shows its Over look; Return on Exit ends with 1;
# Space on Install shows the Down look while held and ends with 0.
source "$(dirname "$0")/../driver/driver.sh" "$@"

skin=$(make_skin demo)
ini=$skin/portico.ini
read -r IX IY IW IH < <(control_rect "$ini" Install)
read -r EX EY EW EH < <(control_rect "$ini" Exit)
read -r GX GY GW GH < <(control_rect "$ini" Gauge)
read -r VX VY VW VH < <(control_rect "$ini" VersionCaption)

# Shows the demo and waits for it to take the keyboard by itself; false
# (after saying so) when it does not.
show_for_keys() {
  show_skin "$skin" "1.0 test" || return 1
  if ! wait_keyboard_focus "$WIN"; then
    fail "the window did not take the keyboard focus (focus on $(xdotool getwindowfocus 2>/dev/null))"
    wait_exit "$PORTICO_PID" 1
    return 1
  fi
}

# The control NAME's rectangle in the screenshot SHOT equals IMAGE there.
expect_look() {
  expect_region "$1" "$2" "$skin/$3" "${@:4}"
}

# --- the keyboard right after the window appears ------------------------------
if show_for_keys; then
  pass "the window took the keyboard focus by itself"
  type_key Escape
  expect_exit_code 0 "Escape right after the window appeared ends with 0"
fi

# --- the first frame, then Tab and Shift+Tab ------------------------------------
if show_for_keys; then
  pause_shown
  window_geometry "$WIN"
  screenshot "$WORK/first.ppm"
  expect_region "before any key the frame is the normal image" "$WORK/first.ppm" "$skin/normal.bmp" \
    0 0 "$WIN_W" "$WIN_H" --mask "$skin/mask.bmp" --exclude "$VX,$VY,$VW,$VH"

  type_key Tab
  settle 0.4
  screenshot "$WORK/tab1.ppm"
  expect_look "Tab lights Install, the first control" "$WORK/tab1.ppm" over.bmp $IX $IY $IW $IH
  expect_look "... and leaves Exit normal" "$WORK/tab1.ppm" normal.bmp $EX $EY $EW $EH

  type_key Tab
  settle 0.4
  screenshot "$WORK/tab2.ppm"
  expect_look "a second Tab lights Exit" "$WORK/tab2.ppm" over.bmp $EX $EY $EW $EH
  expect_look "... and Install is normal again" "$WORK/tab2.ppm" normal.bmp $IX $IY $IW $IH

  type_key shift+Tab
  settle 0.4
  type_key shift+Tab
  settle 0.4
  screenshot "$WORK/back.ppm"
  expect_look "Shift+Tab from Install wraps round to the last control, Gauge" "$WORK/back.ppm" over.bmp \
    $GX $GY $GW $GH
  expect_look "... and Install is normal" "$WORK/back.ppm" normal.bmp $IX $IY $IW $IH

  type_key Escape
  expect_exit_code 0 "Escape ends with 0"
fi

# --- Return on Exit ---------------------------------------------------------------
if show_for_keys; then
  type_key Tab
  type_key Tab
  settle 0.2
  type_key Return
  expect_exit_code 1 "Return on Exit ends with 1"
fi

# --- Space on Install ---------------------------------------------------------------
if show_for_keys; then
  window_geometry "$WIN"
  type_key Tab
  settle 0.2
  xdotool keydown space
  # Held past the server's repeat delay (660 ms), so repeats come in too.
  settle 1.0
  screenshot "$WORK/space.ppm"
  expect_look "Space held on Install shows its Down look" "$WORK/space.ppm" down.bmp $IX $IY $IW $IH
  is_running "$PORTICO_PID" && pass "nothing is clicked while Space is held" ||
    fail "the launcher ended before Space went up"
  xdotool keyup space
  expect_exit_code 0 "Space on Install ends with 0"
fi

finish
