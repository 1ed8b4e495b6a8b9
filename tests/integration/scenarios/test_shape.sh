#!/usr/bin/env bash
# The mask shapes the window: the desktop shows through every pixel the mask
# cuts away and the skin covers every other one; a press on a cut-away pixel
# does not reach the launcher (it does not start a drag); a lit control left
# for a cut-away pixel inside the window's rectangle returns to normal
# within the polling interval. Under a compositing manager (the window then
# has a 32-bit visual; XWayland always composites) the demo's opacity image
# outlines the window instead: transparent pixels show what lies beneath,
# opaque ones the skin, and the soft edge and shadow blend the two; a skin
# without an opacity image shows what lies beneath through its cut-away parts.
# shellcheck disable=SC2046  # cursor_exclude prints two words on purpose
source "$(dirname "$0")/../driver/driver.sh" "$@"

GREEN=00ff00
test_cleanup() { xsetroot -solid black >/dev/null 2>&1; }

skin=$(make_skin demo)
read -r VX VY VW VH < <(control_rect "$skin/portico.ini" VersionCaption)
xsetroot -solid "#$GREEN"
park_pointer
sleep 0.2
# What lies beneath the window (a compositor may paint its own desktop).
screenshot "$WORK/beneath.ppm"
runs compose && compose_frame "$skin" "$WORK/composed.ppm"

# Checks a composited window against its opacity image ALPHA: transparent
# pixels show what lies beneath, opaque ones the composed frame, the rest
# blend the two within 3 levels. Sets SOFT_ALL, the count of the latter.
expect_blend() {
  local what=$1 shot=$2 alpha=$3 clear clear_all opaque opaque_all soft
  read -r clear clear_all opaque opaque_all soft SOFT_ALL < <($PIXELS blend "$shot" "$WIN_X" "$WIN_Y" \
    "$WORK/composed.ppm" "$alpha" "$WORK/beneath.ppm" 3)
  ((clear_all > 0)) && [[ "$clear" == "$clear_all" ]] && pass "$what: all $clear_all transparent pixels show what lies beneath" ||
    fail "$what: $clear of $clear_all transparent pixels show what lies beneath"
  [[ "$opaque" == "$opaque_all" ]] && pass "$what: all $opaque_all opaque pixels show the skin" ||
    fail "$what: $opaque of $opaque_all opaque pixels show the skin"
  [[ "$soft" == "$SOFT_ALL" ]] && pass "$what: all $SOFT_ALL translucent pixels blend skin and background" ||
    fail "$what: $soft of $SOFT_ALL translucent pixels blend skin and background"
}

show_skin "$skin" "1.0 test" || finish
pause_shown
settle 0.1
window_geometry "$WIN"
screenshot "$WORK/shot.ppm"
depth=$(window_depth "$WIN")
# Without portico_compose the first frame is the normal image and the
# version caption as the window shows it (GDI draws it on Windows).
if [[ ! -f "$WORK/composed.ppm" ]]; then
  convert "$skin/normal.bmp" \( "$WORK/shot.ppm" -crop "${VW}x${VH}+$((WIN_X + VX))+$((WIN_Y + VY))" +repage \) \
    -geometry "+$VX+$VY" -composite "$WORK/composed.ppm"
fi

composited=
if [[ "$depth" == 32 ]]; then
  pass "a compositing manager runs: the window has a 32-bit visual"
  composited=yes
elif [[ "$ALWAYS_COMPOSITED" == yes ]]; then
  fail "the window has no 32-bit visual"
  composited=yes
fi
if [[ -n "$composited" ]]; then
  expect_blend "the demo's soft edges" "$WORK/shot.ppm" "$skin/alpha.bmp"
  ((SOFT_ALL > 0)) || fail "the demo's opacity image has no translucent pixels"
else
  read -r cut_green cut_all kept_green kept_all < <($PIXELS shape "$WORK/shot.ppm" "$WIN_X" "$WIN_Y" "$skin/mask.bmp" $GREEN)
  ((cut_all > 0)) || fail "the demo mask cuts nothing away"
  [[ "$cut_green" == "$cut_all" ]] && pass "desktop shows through all $cut_all cut-away pixels" ||
    fail "only $cut_green of $cut_all cut-away pixels show the desktop"
  [[ "$kept_green" == 0 ]] && pass "the skin covers all $kept_all kept pixels" ||
    fail "$kept_green of $kept_all kept pixels show the desktop"
fi
# The version caption is left out: on Windows GDI draws it.
if runs kept_normal; then
  expect_region "kept pixels show the normal image" "$WORK/shot.ppm" "$skin/normal.bmp" \
    0 0 "$WIN_W" "$WIN_H" --mask "$skin/mask.bmp" --exclude "$VX,$VY,$VW,$VH"
fi

# From the middle of Exit straight into the notch below it: no event follows
# the pointer there, only the polling timer (100 ms) can notice.
if runs notch; then
  read -r EX EY EW EH < <(control_rect "$skin/portico.ini" Exit)
  notch_x=$((WIN_W / 2)) notch_y=$((WIN_H - 8))
  [[ $($PIXELS pixel "$skin/mask.bmp" $notch_x $notch_y) == ffffff ]] ||
    fail "the demo mask does not cut away $notch_x,$notch_y"
  pointer_at $((EX + EW / 2)) $((EY + EH / 2))
  settle 0.3
  screenshot "$WORK/lit.ppm"
  expect_region "Exit lights up under the pointer" "$WORK/lit.ppm" "$skin/over.bmp" $EX $EY $EW $EH \
    $(cursor_exclude $((EX + EW / 2)) $((EY + EH / 2)))
  pointer_at $notch_x $notch_y
  sleep 0.25
  screenshot "$WORK/notch.ppm"
  expect_region "Exit is normal again with the pointer in the cut-away notch" "$WORK/notch.ppm" \
    "$skin/normal.bmp" $EX $EY $EW $EH
fi

# Presses on cut-away pixels (a corner and the notch) and drags: the window
# must stay where it is.
if runs cut_away_press; then
  for spot in "1 1" "$((WIN_W / 2)) $((WIN_H - 2))"; do
    read -r sx sy <<<"$spot"
    if [[ $($PIXELS pixel "$skin/mask.bmp" "$sx" "$sy") != ffffff ]]; then
      fail "the demo mask does not cut away $sx,$sy"
      continue
    fi
    old_x=$WIN_X old_y=$WIN_Y
    pointer_at "$sx" "$sy"
    settle 0.2
    xdotool mousedown 1
    for step in 1 2 3 4; do
      xdotool mousemove $((old_x + sx + 10 * step)) $((old_y + sy - 8 * step))
      settle 0.1
    done
    xdotool mouseup 1
    settle 0.4
    window_geometry "$WIN"
    [[ "$WIN_X,$WIN_Y" == "$old_x,$old_y" ]] && pass "press on cut-away $sx,$sy did not drag" ||
      fail "press on cut-away $sx,$sy moved the window from $old_x,$old_y to $WIN_X,$WIN_Y"
  done
  # The presses went to the desktop, which may have taken the keyboard
  # focus: a click on the window's background gives it back.
  pointer_at $EMPTY_X $EMPTY_Y
  settle 0.2
  xdotool click 1
  settle 0.3
fi

park_pointer
if runs escape; then
  send_key "$WIN" Escape
  expect_exit_code 0 "Escape ends with 0"
else
  close_with_escape "$WIN"
fi

# Without an opacity image the mask's cut-away parts are transparent.
if [[ -n "$composited" ]] && runs mask_alone; then
  plain=$(make_skin plain)
  sed -i '/^Alpha=/d' "$plain/portico.ini"
  convert "$plain/mask.bmp" -negate "$WORK/mask-opacity.bmp"
  show_skin "$plain" "1.0 test" || finish
  pause_shown
  settle 0.1
  window_geometry "$WIN"
  screenshot "$WORK/plain.ppm"
  expect_blend "a skin with a mask alone" "$WORK/plain.ppm" "$WORK/mask-opacity.bmp"
  send_key "$WIN" Escape
  expect_exit_code 0 "Escape ends with 0"
fi
finish
