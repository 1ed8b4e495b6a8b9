#!/usr/bin/env bash
# At twice the desktop's DPI (Wine's LogPixels 192, which the adapter sets
# from WINE_LOGPIXELS) the launcher's window is twice the demo skin's size
# and its controls answer at twice their place: a click in the middle of
# Exit's doubled rectangle ends with 1.
WINE_LOGPIXELS=192
source "$(dirname "$0")/../driver/driver.sh" "$@"
# The prefix is shared: its DPI goes back at once.
test_cleanup() { WINE_LOGPIXELS=96 wine_settings; }

skin=$(make_skin demo)
read -r NW NH < <(identify -format '%w %h\n' "$skin/normal.bmp")
read -r EX EY EW EH < <(control_rect "$skin/portico.ini" Exit)
park_pointer
show_skin "$skin" 1.0 || finish
pause_shown
window_geometry "$WIN"
[[ "$WIN_W,$WIN_H" == "$((2 * NW)),$((2 * NH))" ]] && pass "the window is ${WIN_W}x$WIN_H, twice the skin's size" ||
  fail "the window is ${WIN_W}x$WIN_H, not twice the skin's ${NW}x$NH"
pointer_at $((2 * EX + EW)) $((2 * EY + EH))
settle 0.3
xdotool click 1
expect_exit_code 1 "a click in the middle of Exit's doubled place ends with 1"
finish
