#!/usr/bin/env bash
# The demo shows exactly one undecorated window of the image's size, centred
# on the screen, kept off the taskbar, with class Portico and title
# FormInstall; Escape closes it with exit code 0, and on Windows so does the
# system's close (Alt+F4). When another program destroys the window, the
# launcher ends at once with 0 and no X error noise, also in the middle of
# a drag.
source "$(dirname "$0")/../driver/driver.sh" "$@"

skin=$(make_skin demo)
read -r IMG_W IMG_H < <(identify -format '%w %h\n' "$skin/normal.bmp")
screen_size

show_skin "$skin" "1.0 test" || finish
win=$WIN
pause_shown  # let the window manager finish placing it

count=$(launcher_windows | wc -l)
[[ "$count" == 1 ]] && pass "one window" || fail "$count visible launcher windows, expected 1"

window_geometry "$win" || fail "xwininfo failed"
[[ "$WIN_W" == "$IMG_W" && "$WIN_H" == "$IMG_H" ]] && pass "size ${WIN_W}x$WIN_H" ||
  fail "window is ${WIN_W}x$WIN_H, image is ${IMG_W}x$IMG_H"

want_x=$(((SCREEN_W - IMG_W) / 2))
want_y=$(((SCREEN_H - IMG_H) / 2))
if ((WIN_X >= want_x - 1 && WIN_X <= want_x + 1 && WIN_Y >= want_y - 1 && WIN_Y <= want_y + 1)); then
  pass "centred at $WIN_X,$WIN_Y"
else
  fail "window at $WIN_X,$WIN_Y, centred would be $want_x,$want_y on ${SCREEN_W}x$SCREEN_H"
fi

# Undecorated: Motif hints with the decorations flag set and no decorations
# (Wine asks for them for a WS_POPUP window), and the window manager adds
# no frame around it.
motif=$(xprop -id "$win" _MOTIF_WM_HINTS 2>/dev/null)
read -r flags _ decorations _ < <(sed -n 's/.*= *//p' <<<"$motif" | tr -d ',')
if [[ -n "${flags:-}" ]] && (((flags & 2) != 0 && decorations == 0)); then
  pass "_MOTIF_WM_HINTS asks for no decorations"
else
  fail "_MOTIF_WM_HINTS does not ask for no decorations: $motif"
fi
extents=$(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null)
if grep -q '=' <<<"$extents" && ! grep -q '= 0, 0, 0, 0' <<<"$extents"; then
  fail "the window manager framed the window: $extents"
else
  pass "no frame ($extents)"
fi

# On Windows WS_EX_TOOLWINDOW, which Wine passes on the same way.
state=$(xprop -id "$win" _NET_WM_STATE 2>/dev/null)
grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state" && pass "skips the taskbar" ||
  fail "_NET_WM_STATE lacks _NET_WM_STATE_SKIP_TASKBAR: $state"

if runs wm_class; then
  class=$(xprop -id "$win" WM_CLASS 2>/dev/null)
  grep -q '"Portico"' <<<"$class" && pass "WM_CLASS $class" || fail "WM_CLASS lacks Portico: $class"
fi

if runs title; then
  title=$(xdotool getwindowname "$win" 2>/dev/null)
  [[ "$title" == FormInstall ]] && pass "title FormInstall" || fail "title is '$title', expected FormInstall"
fi

send_key "$win" Escape
expect_exit_code 0 "Escape ends with 0"
[[ -z $(any_launcher_windows) ]] || fail "a portico window is still visible after exit"

# Alt+F4 reaches the window as WM_CLOSE, which closes it like Escape.
if runs alt_f4 && show_skin "$skin" "1.0 test"; then
  sleep 0.3
  send_key "$WIN" alt+F4
  expect_exit_code 0 "Alt+F4 ends with 0"
fi

# Destroyed by another program: while a control is lit (the polling timer
# runs), and while a drag moves the window.
if runs destroyed; then
  read -r IX IY IW IH < <(control_rect "$skin/portico.ini" Install)
  for moment in "a lit control" "a drag"; do
    show_skin "$skin" "1.0 test" || continue
    sleep 0.3
    window_geometry "$WIN"
    mover=
    if [[ $moment == "a lit control" ]]; then
      pointer_at $((IX + IW / 2)) $((IY + IH / 2))
      sleep 0.3
    else
      pointer_at $EMPTY_X $EMPTY_Y
      sleep 0.2
      xdotool mousedown 1
      moves=()
      for ((i = 1; i <= 300; i++)); do moves+=(mousemove $((WIN_X + EMPTY_X + i)) $((WIN_Y + EMPTY_Y + i))); done
      xdotool "${moves[@]}" &
      mover=$!
      STARTED_PIDS+=("$mover")
      sleep 0.05
    fi
    xdotool windowclose "$WIN" 2>/dev/null
    wait_exit "$PORTICO_PID" 2
    [[ -n "$mover" ]] && wait "$mover" 2>/dev/null
    xdotool mouseup 1
    [[ "$EXIT_CODE" == 0 ]] && pass "window destroyed during $moment: ends with 0" ||
      fail "window destroyed during $moment: exit code $EXIT_CODE, expected 0 within 2 s"
    if grep -qi 'X error' "$PORTICO_ERR"; then
      fail "window destroyed during $moment: X errors on stderr: $(head -c 300 "$PORTICO_ERR")"
    else
      pass "window destroyed during $moment: no X errors on stderr"
    fi
  done
  park_pointer
fi

finish
