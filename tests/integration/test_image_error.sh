#!/usr/bin/env bash
# An image that exists but cannot be decoded shows a message naming the file
# (also printed on stderr); dismissing it ends the program with exit code 0.
# Checked with a corrupt BMP and with a truncated JPEG.
source "$(dirname "$0")/lib.sh" "$@"

# Starts portico on a skin whose normal image is FILE with the given
# content, expects the message window, dismisses it with Return.
expect_image_message() {
  local what=$1 file=$2 content=$3 skin win
  skin=$(make_skin "$what")
  printf '%b' "$content" >"$skin/$file"
  sed -i "s/^Normal=.*/Normal=$file/" "$skin/portico.ini"
  start_portico "$skin" portico.ini 1.0
  if ! win=$(wait_window 10 --name '^Portico'); then
    win=$(wait_window 1 --class '^Portico$') || true
  fi
  if [[ -z "$win" ]]; then
    fail "$what: no message window appeared"
    wait_exit "$PORTICO_PID" 1
    return
  fi
  pass "$what: message window $(xdotool getwindowname "$win" 2>/dev/null)"
  [[ -z $(xdotool search --onlyvisible --name '^FormInstall$' 2>/dev/null) ]] ||
    fail "$what: the skin window is shown next to the message"
  sleep 0.2
  send_key "$win" Return
  wait_exit "$PORTICO_PID" 5
  [[ "$EXIT_CODE" == 0 ]] && pass "$what: Return ends with 0" ||
    fail "$what: after Return: exit code $EXIT_CODE, expected 0"
  grep -q "$file" "$PORTICO_ERR" && pass "$what: stderr names $file" ||
    fail "$what: stderr does not name $file: $(head -c 300 "$PORTICO_ERR")"
}

park_pointer
# "BM" and a header that promises far more than the file holds.
expect_image_message corrupt-bmp broken.bmp 'BM\x36\x10\x0e\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\xe0\x01\x00\x00\x40\x01\x00\x00\x01\x00\x18\x00garbage'
# A JPEG start marker followed by garbage.
expect_image_message truncated-jpeg broken.jpg '\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01garbage garbage'

finish
