#!/usr/bin/env bash
# portico.exe under Wine: an image that exists but cannot be decoded shows
# the system's message box titled Portico and no skin window; dismissing it
# ends the program with exit code 0.
source "$(dirname "$0")/lib.sh" "$@"

skin=$(make_skin corrupt-bmp)
# "BM" and a header that promises far more than the file holds.
printf '%b' 'BM\x36\x10\x0e\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\xe0\x01\x00\x00\x40\x01\x00\x00\x01\x00\x18\x00garbage' \
  >"$skin/broken.bmp"
sed -i "s/^Normal=.*/Normal=broken.bmp/" "$skin/portico.ini"

park_pointer
start_portico "$skin" portico.ini 1.0
if win=$(wait_window 20 --name '^Portico$'); then
  pass "message box $(xdotool getwindowname "$win" 2>/dev/null)"
  [[ -z $(portico_windows) ]] || fail "the skin window is shown next to the message"
  sleep 0.3
  send_key "$win" Return
  wait_exit "$PORTICO_PID" 10
  [[ "$EXIT_CODE" == 0 ]] && pass "Return ends with 0" || fail "after Return: exit code $EXIT_CODE, expected 0"
else
  fail "no message box appeared: $(head -c 300 "$PORTICO_ERR")"
  wait_exit "$PORTICO_PID" 1
fi

finish
