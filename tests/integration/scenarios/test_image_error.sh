#!/usr/bin/env bash
# An image that exists but cannot be decoded shows a message naming the file
# (also printed on stderr) and no skin window (on Windows the system's
# message box titled Portico); dismissing it ends the program with exit
# code 0. Checked with a corrupt BMP and with a truncated JPEG.
source "$(dirname "$0")/../driver/driver.sh" "$@"

# Starts the launcher on a skin whose normal image is FILE with the given
# content, expects the message window, dismisses it with Return.
expect_image_message() {
  local what=$1 file=$2 content=$3 skin win
  skin=$(make_skin "$what")
  printf '%b' "$content" >"$skin/$file"
  sed -i "s/^Normal=.*/Normal=$file/" "$skin/portico.ini"
  start_launcher "$skin" portico.ini 1.0
  if ! win=$(wait_window "$WINDOW_WAIT" --name "$MESSAGE_TITLE"); then
    win=$(wait_window 1 --class '^Portico$') || true
  fi
  if [[ -z "$win" ]]; then
    fail "$what: no message window appeared: $(head -c 300 "$PORTICO_ERR")"
    wait_exit "$PORTICO_PID" 1
    return
  fi
  pass "$what: message window $(xdotool getwindowname "$win" 2>/dev/null)"
  [[ -z $(xdotool search --onlyvisible --name '^FormInstall$' 2>/dev/null) ]] ||
    fail "$what: the skin window is shown next to the message"
  settle 0.2
  send_key "$win" Return
  expect_exit_code 0 "$what: Return ends with 0"
  if runs stderr_names_file; then
    grep -q "$file" "$PORTICO_ERR" && pass "$what: stderr names $file" ||
      fail "$what: stderr does not name $file: $(head -c 300 "$PORTICO_ERR")"
  fi
}

park_pointer
# "BM" and a header that promises far more than the file holds.
expect_image_message corrupt-bmp broken.bmp 'BM\x36\x10\x0e\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\xe0\x01\x00\x00\x40\x01\x00\x00\x01\x00\x18\x00garbage'
# A JPEG start marker followed by garbage.
if runs truncated_jpeg; then
  expect_image_message truncated-jpeg broken.jpg '\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01garbage garbage'
fi

finish
