#!/usr/bin/env bash
# Pointer behaviour of the demo: hover shows the Over look, a press the Down
# look; a click on Install ends with 0, on Exit with 1; a press that leaves
# the control before release clicks nothing; a press on an empty area drags
# the window (where the window manager carries out moves; where it cannot,
# the window stays and the launcher goes on working); leaving the window or
# having another window raised over it brings back the normal look; URL
# runs xdg-open (under Wine through its browser hand-off) with the
# configured address and keeps the window open; an idle window uses no CPU.
# shellcheck disable=SC2046  # cursor_exclude prints two words on purpose
source "$(dirname "$0")/../driver/driver.sh" "$@"

skin=$(make_skin demo)
ini=$skin/portico.ini
read -r IX IY IW IH < <(control_rect "$ini" Install)
read -r EX EY EW EH < <(control_rect "$ini" Exit)
read -r UX UY UW UH < <(control_rect "$ini" URL)
url=$(sed -n '/^\[INFORMATION\]/,/^\[/s/^URL=//p' "$ini" | tr -d '\r')
ICX=$((IX + IW / 2)) ICY=$((IY + IH / 2))

# A recording stand-in for xdg-open, found first on PATH.
mkdir -p "$WORK/bin"
cat >"$WORK/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$WORK/xdg-open.log"
STUB
chmod +x "$WORK/bin/xdg-open"
# shellcheck disable=SC2034  # read by start_launcher
PORTICO_ENV=("PATH=$WORK/bin:$PATH")

# Starts the demo with the pointer parked and measures its window; false
# when no window appears.
run_demo() {
  show_skin "$skin" "1.0 test" || return 1
  pause_shown
  window_geometry "$WIN"
}

# Shows Install lit under the pointer; WHAT names the moment.
expect_install_lit() {
  pointer_at $ICX $ICY
  settle 0.4
  screenshot "$WORK/lit.ppm"
  expect_region "$1" "$WORK/lit.ppm" "$skin/over.bmp" $IX $IY $IW $IH $(cursor_exclude $ICX $ICY)
}

# --- hover, press and a click on Install ------------------------------------
if run_demo; then
  expect_install_lit "hover over Install shows the Over look"
  if runs hover_leaves_exit; then
    expect_region "hover leaves Exit normal" "$WORK/lit.ppm" "$skin/normal.bmp" $EX $EY $EW $EH
  fi

  xdotool mousedown 1
  settle 0.4
  screenshot "$WORK/down.ppm"
  expect_region "press on Install shows the Down look" "$WORK/down.ppm" "$skin/down.bmp" \
    $IX $IY $IW $IH $(cursor_exclude $ICX $ICY)
  xdotool mouseup 1
  if runs install_click; then
    expect_exit_code 0 "click on Install ends with 0"
  else
    wait_exit "$PORTICO_PID" "$EXIT_WAIT"
  fi
fi

# --- clicks on Exit: at a person's pace, and a quick one ------------------------
# A person holds the button for about 0.1 s; xdotool's click holds it for
# about 12 ms, which must count as a click just the same.
for pace in person quick; do
  [[ $pace == quick ]] && ! runs quick_exit_click && continue
  run_demo || continue
  pointer_at $((EX + EW / 2)) $((EY + EH / 2))
  sleep 0.3
  if [[ $pace == person ]]; then
    xdotool mousedown 1
    sleep 0.1
    xdotool mouseup 1
  else
    xdotool click 1
  fi
  expect_exit_code 1 "click on Exit ($pace pace) ends with 1"
done

# --- one session for the rest --------------------------------------------------
if run_demo; then
  # Idle: nothing under the pointer, nothing to do.
  if runs idle; then
    sleep 0.5
    t0=$(cpu_ticks "$PORTICO_PID")
    sleep 2
    t1=$(cpu_ticks "$PORTICO_PID")
    (((t1 - t0) <= 5)) && pass "idle for 2 s used $((t1 - t0)) clock ticks" ||
      fail "idle for 2 s used $((t1 - t0)) clock ticks of CPU"
  fi

  # Press on Install, move off, release: no click, look back to normal.
  pointer_at $ICX $ICY
  settle 0.3
  xdotool mousedown 1
  settle 0.2
  pointer_at $EMPTY_X $EMPTY_Y
  settle 0.2
  xdotool mouseup 1
  sleep 1
  if is_running "$PORTICO_PID"; then
    pass "press on Install released elsewhere clicks nothing"
  else
    wait_exit "$PORTICO_PID" 1
    fail "press on Install released elsewhere ended the program (exit code $EXIT_CODE)"
  fi
  if runs normal_after_release; then
    screenshot "$WORK/off.ppm"
    expect_region "Install is normal again after the release elsewhere" "$WORK/off.ppm" \
      "$skin/normal.bmp" $IX $IY $IW $IH
  fi

  # Drag on an empty spot: the window moves by the pointer's displacement.
  old_x=$WIN_X old_y=$WIN_Y
  pointer_at $EMPTY_X $EMPTY_Y
  settle 0.2
  xdotool mousedown 1
  for step in 1 2 3 4; do
    xdotool mousemove $((old_x + EMPTY_X + 10 * step)) $((old_y + EMPTY_Y + 8 * step))
    settle 0.1
  done
  settle 0.2
  xdotool mouseup 1
  settle 0.4
  window_geometry "$WIN"
  if [[ "$DRAG_MOVES_WINDOW" == yes ]]; then
    if ((WIN_X == old_x + 40 && WIN_Y == old_y + 32)); then
      pass "drag moved the window by 40,32"
    else
      fail "drag by 40,32 moved the window from $old_x,$old_y to $WIN_X,$WIN_Y"
    fi
  else
    # The move is handed to a window manager whose pointer does not follow
    # xdotool: the window stays where it is kept, and the launcher goes on.
    [[ "$WIN_X,$WIN_Y" == "$old_x,$old_y" ]] && pass "a drag on the background leaves the window where it is kept" ||
      fail "a drag on the background moved the window from $old_x,$old_y to $WIN_X,$WIN_Y"
    expect_install_lit "after the drag Install lights up again"
  fi

  # Leaving the window brings back the normal look within half a second.
  if runs leave_window; then
    pointer_at $ICX $ICY
    settle 0.3
    xdotool mousemove 5 5
    sleep 0.5
    screenshot "$WORK/left.ppm"
    expect_region "Install is normal after the pointer left the window" "$WORK/left.ppm" \
      "$skin/normal.bmp" $IX $IY $IW $IH
  fi

  # Another window raised over the pointer resets the look too.
  if runs raised_window; then
    px=$((IX + 8)) py=$ICY
    pointer_at $px $py
    sleep 0.3
    xev -name portico-cover -geometry 24x24+$((WIN_X + px - 6))+$((WIN_Y + py - 6)) >/dev/null 2>&1 &
    xev_pid=$!
    STARTED_PIDS+=("$xev_pid")
    if cover=$(wait_window 5 --name 'Event Tester|portico-cover'); then
      sleep 0.6
      screenshot "$WORK/covered.ppm"
      cover_info=$(xwininfo -id "$cover")
      cx=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$cover_info")
      cy=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$cover_info")
      cw=$(awk '/Width:/ {print $2}' <<<"$cover_info")
      ch=$(awk '/Height:/ {print $2}' <<<"$cover_info")
      read -r fl fr ft fb < <(xprop -id "$cover" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',')
      fl=${fl:-0} fr=${fr:-0} ft=${ft:-0} fb=${fb:-0}
      exclude="$((cx - WIN_X - fl - 2)),$((cy - WIN_Y - ft - 2)),$((cw + fl + fr + 4)),$((ch + ft + fb + 4))"
      expect_region "Install is normal under a raised window" "$WORK/covered.ppm" "$skin/normal.bmp" \
        $IX $IY $IW $IH --exclude "$exclude" $(cursor_exclude $px $py)
    else
      fail "the covering window did not appear"
    fi
    kill "$xev_pid" 2>/dev/null
    wait "$xev_pid" 2>/dev/null
    sleep 0.3
  fi

  # URL opens the address with xdg-open; the window stays.
  if runs url; then
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
      pass "URL ran xdg-open $url"
    else
      fail "URL: xdg-open got '$(cat "$WORK/xdg-open.log" 2>/dev/null)', expected '$url'"
    fi
    is_running "$PORTICO_PID" && [[ -n $(launcher_windows) ]] &&
      pass "the window stays open after URL" || fail "the window closed after URL"
  fi

  park_pointer
  send_key "$WIN" Escape
  expect_exit_code 0 "Escape ends with 0"
fi

finish
