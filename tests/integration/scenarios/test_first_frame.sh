#!/usr/bin/env bash
# The first frame on screen is the composed frame: the normal image wherever
# the window is kept, and in the VersionCaption box the disabled image with
# the version text written on it in the inverse of the normal image's colour.
source "$(dirname "$0")/../driver/driver.sh" "$@"

skin=$(make_skin demo)
read -r VX VY VW VH < <(control_rect "$skin/portico.ini" VersionCaption)
show_skin "$skin" "1.0 test" || finish
pause_shown
window_geometry "$WIN"
screenshot "$WORK/first.ppm"

# The same skin composed without a display must match to the pixel inside
# the window's shape.
compose_frame "$skin" "$WORK/composed.ppm"
expect_region "the first frame equals the composed frame inside the shape" "$WORK/first.ppm" \
  "$WORK/composed.ppm" 0 0 "$WIN_W" "$WIN_H" --mask "$skin/mask.bmp"

expect_region "the frame shows the normal image outside the version box" "$WORK/first.ppm" \
  "$skin/normal.bmp" 0 0 "$WIN_W" "$WIN_H" --mask "$skin/mask.bmp" --exclude "$VX,$VY,$VW,$VH"

read -r ink total < <($PIXELS diff "$WORK/first.ppm" "$WIN_X" "$WIN_Y" "$skin/disable.bmp" $VX $VY $VW $VH)
if ((ink >= 20 && ink < total / 2)); then
  pass "the version box holds caption ink ($ink of $total pixels differ from disable.bmp)"
else
  fail "the version box: $ink of $total pixels differ from disable.bmp, expected caption ink"
fi

# The caption colour: the inverse of the normal image at the box centre.
centre=$($PIXELS pixel "$skin/normal.bmp" $((VX + VW / 2)) $((VY + VH / 2)))
inverse=$(printf '%06x' $((0x$centre ^ 0xffffff)))
solid=$($PIXELS count-colour "$WORK/first.ppm" $((WIN_X + VX)) $((WIN_Y + VY)) $VW $VH "$inverse" --tolerance 24)
((solid >= 5)) && pass "$solid caption pixels in #$inverse" ||
  fail "only $solid pixels of the version box are near the caption colour #$inverse"

send_key "$WIN" Escape
expect_exit_code 0 "Escape ends with 0"
finish
