#!/usr/bin/env bash
# A desktop at 192 dpi (Xft.dpi, as desktops set it for 200 %) shows the
# demo at twice its size: from images drawn at 2x where the skin has them
# (NAME@2x.EXT), else from the 1x images with every pixel doubled; an
# image drawn at 2x of the wrong size is left out with a line on stderr.
# The controls answer at twice their place: hover lights Install, a click
# on Exit ends with 1.
# shellcheck disable=SC2046  # cursor_exclude prints two words on purpose
source "$(dirname "$0")/../driver/driver.sh" "$@"

saved_resources=$(xrdb -query 2>/dev/null)
test_cleanup() {
  xrdb -load - <<<"$saved_resources" 2>/dev/null
}
echo "Xft.dpi: 192" | xrdb -merge

# The demo's image NAME doubled by pixel repetition, to FILE (24-bit BMP).
doubled() {
  convert "$1" -sample 200% "BMP3:$2"
}

for kind in enlarged drawn wrong_size; do
  skin=$(make_skin "demo_$kind")
  ini=$skin/portico.ini
  read -r IX IY IW IH < <(control_rect "$ini" Install)
  read -r EX EY EW EH < <(control_rect "$ini" Exit)
  read -r IMG_W IMG_H < <(identify -format '%w %h\n' "$skin/normal.bmp")
  for image in normal over down disable mask alpha; do
    doubled "$skin/$image.bmp" "$WORK/$kind.$image.bmp"
  done
  case $kind in
    drawn)
      # Drawn at 2x, and told apart from the enlarged 1x images.
      for image in normal over down disable; do
        convert "$WORK/$kind.$image.bmp" -negate "BMP3:$skin/$image@2x.bmp"
        cp "$skin/$image@2x.bmp" "$WORK/$kind.$image.bmp"
      done
      cp "$WORK/$kind.mask.bmp" "$skin/mask@2x.bmp"
      ;;
    wrong_size)
      convert "$skin/normal.bmp" -sample 150% "BMP3:$skin/normal@2x.bmp"
      ;;
  esac

  show_skin "$skin" "1.0 test" || continue
  pause_shown
  window_geometry "$WIN"
  [[ "$WIN_W" == $((2 * IMG_W)) && "$WIN_H" == $((2 * IMG_H)) ]] && pass "$kind: size ${WIN_W}x$WIN_H" ||
    fail "$kind: window is ${WIN_W}x$WIN_H, expected $((2 * IMG_W))x$((2 * IMG_H))"
  if [[ $kind == wrong_size ]]; then
    grep -q 'normal@2x.bmp.*left out' "$PORTICO_ERR" && pass "$kind: the image is left out, said on stderr" ||
      fail "$kind: no line on stderr about normal@2x.bmp: $(cat "$PORTICO_ERR")"
  fi
  mask=(--mask "$WORK/$kind.mask.bmp")
  screenshot "$WORK/rest.ppm"
  expect_region "$kind: at rest the window shows Normal at 2x" "$WORK/rest.ppm" "$WORK/$kind.normal.bmp" \
    $((2 * IX)) $((2 * IY)) $((2 * IW)) $((2 * IH)) "${mask[@]}"

  cx=$((2 * IX + IW)) cy=$((2 * IY + IH))
  pointer_at $cx $cy
  settle 0.4
  screenshot "$WORK/lit.ppm"
  expect_region "$kind: hover at twice Install's place shows its Over look" "$WORK/lit.ppm" \
    "$WORK/$kind.over.bmp" $((2 * IX)) $((2 * IY)) $((2 * IW)) $((2 * IH)) "${mask[@]}" $(cursor_exclude $cx $cy)

  pointer_at $((2 * EX + EW)) $((2 * EY + EH))
  settle 0.3
  xdotool click 1
  expect_exit_code 1 "$kind: a click at twice Exit's place ends with 1"
done

finish
