#!/usr/bin/env bash
# Pointer behaviour of portico.exe under Wine: hover shows the Over look, a
# press the Down look; a click on Install ends with 0, on Exit with 1; a
# press released off the control clicks nothing; a press on an empty area
# drags the window; URL reaches the browser through Wine's hand-off (a
# stand-in xdg-open on PATH) and keeps the window; an idle window uses no
# CPU; Escape ends with 0.
# shellcheck disable=SC2046  # cursor_exclude prints two words on purpose
source "$(dirname "$0")/lib.sh" "$@"

skin=$(make_skin demo)
ini=$skin/portico.ini
read -r IX IY IW IH < <(control_rect "$ini" Install)
read -r EX EY EW EH < <(control_rect "$ini" Exit)
read -r UX UY UW UH < <(control_rect "$ini" URL)
url=$(sed -n 's/^URL=//p' "$ini" | tr -d '\r')
ICX=$((IX + IW / 2)) ICY=$((IY + IH / 2))
# An empty spot of the demo: inside the outline, on no control.
EMPTY_X=240 EMPTY_Y=205

# A recording stand-in for xdg-open, found first on PATH by winebrowser.
mkdir -p "$WORK/bin"
cat >"$WORK/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$WORK/xdg-open.log"
STUB
chmod +x "$WORK/bin/xdg-open"
PORTICO_ENV=("PATH=$WORK/bin:$PATH")

# Starts the demo with the pointer parked and measures its window.
run_demo() {
  start_skin_window "$skin" "1.0 test" || return 1
  sleep 0.5
  window_geometry "$WIN"
}

# --- hover, press and a click on Install ------------------------------------
if run_demo; then
  pointer_at $ICX $ICY
  sleep 0.5
  screenshot "$WORK/hover.ppm"
  expect_region "hover over Install shows the Over look" "$WORK/hover.ppm" "$skin/over.bmp" \
    $IX $IY $IW $IH $(cursor_exclude $ICX $ICY)
  expect_region "hover leaves Exit normal" "$WORK/hover.ppm" "$skin/normal.bmp" $EX $EY $EW $EH
  xdotool mousedown 1
  sleep 0.5
  screenshot "$WORK/down.ppm"
  expect_region "press on Install shows the Down look" "$WORK/down.ppm" "$skin/down.bmp" \
    $IX $IY $IW $IH $(cursor_exclude $ICX $ICY)
  xdotool mouseup 1
  wait_exit "$PORTICO_PID" 10
  [[ "$EXIT_CODE" == 0 ]] && pass "click on Install ends with 0" ||
    fail "click on Install: exit code $EXIT_CODE, expected 0"
fi

# --- a click on Exit -----------------------------------------------------------
if run_demo; then
  pointer_at $((EX + EW / 2)) $((EY + EH / 2))
  sleep 0.3
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  wait_exit "$PORTICO_PID" 10
  [[ "$EXIT_CODE" == 1 ]] && pass "click on Exit ends with 1" ||
    fail "click on Exit: exit code $EXIT_CODE, expected 1"
fi

# --- one session for the rest --------------------------------------------------
if run_demo; then
  # Idle: nothing under the pointer, nothing to do.
  sleep 0.5
  t0=$(cpu_ticks "$PORTICO_PID")
  sleep 2
  t1=$(cpu_ticks "$PORTICO_PID")
  (((t1 - t0) <= 5)) && pass "idle for 2 s used $((t1 - t0)) clock ticks" ||
    fail "idle for 2 s used $((t1 - t0)) clock ticks of CPU"

  # Press on Install, move off, release: no click, look back to normal.
  pointer_at $ICX $ICY
  sleep 0.3
  xdotool mousedown 1
  sleep 0.2
  pointer_at $EMPTY_X $EMPTY_Y
  sleep 0.2
  xdotool mouseup 1
  sleep 1
  if is_running "$PORTICO_PID"; then
    pass "press on Install released elsewhere clicks nothing"
  else
    wait_exit "$PORTICO_PID" 1
    fail "press on Install released elsewhere ended the program (exit code $EXIT_CODE)"
  fi
  screenshot "$WORK/off.ppm"
  expect_region "Install is normal again after the release elsewhere" "$WORK/off.ppm" \
    "$skin/normal.bmp" $IX $IY $IW $IH

  # Drag on an empty spot moves the window by the pointer's displacement.
  old_x=$WIN_X old_y=$WIN_Y
  pointer_at $EMPTY_X $EMPTY_Y
  sleep 0.2
  xdotool mousedown 1
  for step in 1 2 3 4; do
    xdotool mousemove $((old_x + EMPTY_X + 10 * step)) $((old_y + EMPTY_Y + 8 * step))
    sleep 0.15
  done
  sleep 0.3
  xdotool mouseup 1
  sleep 0.5
  window_geometry "$WIN"
  if ((WIN_X == old_x + 40 && WIN_Y == old_y + 32)); then
    pass "drag moved the window by 40,32"
  else
    fail "drag by 40,32 moved the window from $old_x,$old_y to $WIN_X,$WIN_Y"
  fi

  # URL hands the address to the browser; the window stays.
  rm -f "$WORK/xdg-open.log"
  pointer_at $((UX + UW / 2)) $((UY + UH / 2))
  sleep 0.3
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  for ((i = 0; i < 100; i++)); do
    [[ -s "$WORK/xdg-open.log" ]] && break
    sleep 0.1
  done
  sleep 0.3
  if [[ "$(cat "$WORK/xdg-open.log" 2>/dev/null)" == "$url" ]]; then
    pass "URL reached the browser with $url"
  else
    fail "URL: the browser got '$(cat "$WORK/xdg-open.log" 2>/dev/null)', expected '$url'"
  fi
  is_running "$PORTICO_PID" && [[ -n $(portico_windows) ]] &&
    pass "the window stays open after URL" || fail "the window closed after URL"

  park_pointer
  send_key "$WIN" Escape
  wait_exit "$PORTICO_PID" 10
  [[ "$EXIT_CODE" == 0 ]] && pass "Escape ends with 0" || fail "after Escape: exit code $EXIT_CODE"
fi

finish
