#!/usr/bin/env bash
# Skins drawn as PNG files. The demo as PNG (build's demo-png: no mask, no
# opacity image, the soft edges in the normal image's alpha) is outlined
# by that alpha: under a compositing manager it blends as the BMP demo's
# opacity image does; without one every pixel at least half opaque is
# window and the rest shows the desktop. A skin with a PNG mask and a PNG
# opacity image, whose normal image is a PNG named normal.bmp, shows as
# the BMP demo does.
# shellcheck disable=SC2046  # cursor_exclude prints two words on purpose
source "$(dirname "$0")/../driver/driver.sh" "$@"

GREEN=00ff00
test_cleanup() { xsetroot -solid black >/dev/null 2>&1; }
need_tool convert

demo=$SOURCE_DIR/demo
[[ -f "$BUILD_DIR/demo-png/portico.ini" ]] || { fail "no PNG demo skin in $BUILD_DIR/demo-png"; finish; }
png=$WORK/png
mkdir -p "$png"
cp "$BUILD_DIR"/demo-png/* "$png"/
# The outline where nothing blends: alpha at least 128 is window (black).
convert "$demo/alpha.bmp" -colorspace gray -fx 'u >= 0.5 ? 0 : 1' -type truecolor "$WORK/outline.bmp"

xsetroot -solid "#$GREEN"
park_pointer
sleep 0.2
screenshot "$WORK/beneath.ppm"

# Shows SKIN and checks it against the BMP demo's pictures: blended at the
# opacity ALPHA under a compositor, else cut by MASK, the kept pixels the
# normal image (the version caption left out).
expect_skin() {
  local what=$1 skin=$2 alpha=$3 mask=$4 clear clear_all opaque opaque_all soft soft_all
  local cut_green cut_all kept_green kept_all
  show_skin "$skin" "1.0 test" || return 0
  pause_shown
  settle 0.1
  window_geometry "$WIN"
  screenshot "$WORK/shot.ppm"
  if [[ "$(window_depth "$WIN")" == 32 || "$ALWAYS_COMPOSITED" == yes ]]; then
    compose_frame "$skin" "$WORK/composed.ppm"
    read -r clear clear_all opaque opaque_all soft soft_all < <($PIXELS blend "$WORK/shot.ppm" "$WIN_X" "$WIN_Y" \
      "$WORK/composed.ppm" "$alpha" "$WORK/beneath.ppm" 3)
    ((clear_all > 0 && soft_all > 0)) && [[ "$clear" == "$clear_all" && "$opaque" == "$opaque_all" && "$soft" == "$soft_all" ]] &&
      pass "$what: composited at the skin's opacity ($clear_all clear, $opaque_all opaque, $soft_all blended pixels)" ||
      fail "$what: composited: $clear/$clear_all clear, $opaque/$opaque_all opaque, $soft/$soft_all blended pixels as expected"
  else
    read -r cut_green cut_all kept_green kept_all < <($PIXELS shape "$WORK/shot.ppm" "$WIN_X" "$WIN_Y" "$mask" $GREEN)
    ((cut_all > 0)) && [[ "$cut_green" == "$cut_all" && "$kept_green" == 0 ]] &&
      pass "$what: the desktop shows through all $cut_all cut-away pixels and none of $kept_all kept ones" ||
      fail "$what: $cut_green of $cut_all cut-away pixels show the desktop, $kept_green of $kept_all kept ones do"
    read -r VX VY VW VH < <(control_rect "$skin/portico.ini" VersionCaption)
    expect_region "$what: kept pixels show the normal image" "$WORK/shot.ppm" "$demo/normal.bmp" \
      0 0 "$WIN_W" "$WIN_H" --mask "$mask" --exclude "$VX,$VY,$VW,$VH"
  fi
  send_key "$WIN" Escape
  expect_exit_code 0 "$what: Escape ends with 0"
}

if runs alpha_channel; then
  expect_skin "the PNG demo" "$png" "$demo/alpha.bmp" "$WORK/outline.bmp"
fi

if runs png_files; then
  files=$(make_skin files)
  convert "$demo/normal.bmp" "png:$files/normal.bmp"
  convert "$demo/mask.bmp" "PNG24:$files/mask.png"
  convert "$demo/alpha.bmp" -colorspace gray "PNG8:$files/alpha.png"
  sed -i 's/^Mask=.*/Mask=mask.png/; s/^Alpha=.*/Alpha=alpha.png/' "$files/portico.ini"
  [[ $(head -c 4 "$files/normal.bmp" | od -An -c | tr -d ' ') == 211PNG ]] || fail "normal.bmp is not a PNG file"
  expect_skin "PNG mask, opacity and a PNG named .bmp" "$files" "$demo/alpha.bmp" "$demo/mask.bmp"
fi
finish
