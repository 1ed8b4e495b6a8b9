#!/usr/bin/env bash
# The message window writes a file name in any script as it is written:
# two broken images with Cyrillic names of the same length give message
# text that differs (a font without those letters would show both alike,
# as "???????.bmp") and is not blank.
source "$(dirname "$0")/../driver/driver.sh" "$@"

# Shows the message for a broken image named FILE and saves a screenshot of
# the message window to SHOT; false when no message window appeared.
message_shot() {
  local file=$1 shot=$2 skin win
  skin=$(make_skin "shot-$RANDOM")
  printf 'BMgarbage' >"$skin/$file"
  sed -i "s/^Normal=.*/Normal=$file/" "$skin/portico.ini"
  start_launcher "$skin" portico.ini 1.0
  if ! win=$(wait_window "$WINDOW_WAIT" --name "$MESSAGE_TITLE"); then
    fail "$file: no message window: $(head -c 300 "$PORTICO_ERR")"
    wait_exit "$PORTICO_PID" 1
    return 1
  fi
  pause_shown
  window_geometry "$win" || { fail "$file: no geometry"; return 1; }
  screenshot "$WORK/screen.ppm"
  convert "$WORK/screen.ppm" -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$shot"
  send_key "$win" Return
  expect_exit_code 0 "$file: dismissed with Return, exit code 0"
}

park_pointer
if message_shot 'логотип.bmp' "$WORK/first.ppm" && message_shot 'картина.bmp' "$WORK/second.ppm"; then
  # The text is black on the window's light grey.
  read -r w h _ < <(identify -format '%w %h\n' "$WORK/first.ppm")
  dark=$($PIXELS count-colour "$WORK/first.ppm" 0 0 "$w" "$h" 000000 --tolerance 96)
  ((dark > 50)) && pass "the text is drawn ($dark dark pixels)" || fail "the message text is blank ($dark dark pixels)"
  differ=$(compare -metric AE "$WORK/first.ppm" "$WORK/second.ppm" null: 2>&1 | cut -d' ' -f1)
  [[ "$differ" =~ ^[0-9]+$ ]] && ((differ > 20)) && pass "two Cyrillic names show differently ($differ pixels)" ||
    fail "two Cyrillic names show alike ($differ pixels differ)"
fi

finish
