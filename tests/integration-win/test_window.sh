#!/usr/bin/env bash
# portico.exe under Wine shows exactly one undecorated window of the normal
# image's size, centred on the screen, kept off the taskbar (a tool
# window), titled FormInstall and cut to the mask's shape; Escape closes it
# with exit code 0, and so does the system's close (Alt+F4).
source "$(dirname "$0")/lib.sh" "$@"

GREEN=00ff00
test_cleanup() { xsetroot -solid black >/dev/null 2>&1; }

skin=$(make_skin demo)
read -r IMG_W IMG_H < <(identify -format '%w %h\n' "$skin/normal.bmp")
read -r VX VY VW VH < <(control_rect "$skin/portico.ini" VersionCaption)
screen_size
xsetroot -solid "#$GREEN"

start_skin_window "$skin" "1.0 test" || finish
win=$WIN
sleep 0.5  # let the window manager finish placing it

count=$(portico_windows | wc -l)
[[ "$count" == 1 ]] && pass "one window" || fail "$count visible windows titled FormInstall, expected 1"

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

# Undecorated: Wine asks for no decorations for a WS_POPUP window, and the
# window manager adds no frame.
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

# WS_EX_TOOLWINDOW: Wine tells the window manager to skip the taskbar.
state=$(xprop -id "$win" _NET_WM_STATE 2>/dev/null)
grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state" && pass "skips the taskbar" ||
  fail "_NET_WM_STATE lacks _NET_WM_STATE_SKIP_TASKBAR: $state"

# The region: the desktop shows through every cut-away pixel, the skin
# covers the others (the version caption is drawn by GDI, not compared).
screenshot "$WORK/shot.ppm"
read -r cut_green cut_all kept_green kept_all < <($PIXELS shape "$WORK/shot.ppm" "$WIN_X" "$WIN_Y" "$skin/mask.bmp" $GREEN)
((cut_all > 0)) || fail "the demo mask cuts nothing away"
[[ "$cut_green" == "$cut_all" ]] && pass "desktop shows through all $cut_all cut-away pixels" ||
  fail "only $cut_green of $cut_all cut-away pixels show the desktop"
[[ "$kept_green" == 0 ]] && pass "the skin covers all $kept_all kept pixels" ||
  fail "$kept_green of $kept_all kept pixels show the desktop"
expect_region "kept pixels show the normal image" "$WORK/shot.ppm" "$skin/normal.bmp" \
  0 0 "$WIN_W" "$WIN_H" --mask "$skin/mask.bmp" --exclude "$VX,$VY,$VW,$VH"

send_key "$win" Escape
wait_exit "$PORTICO_PID" 10
[[ "$EXIT_CODE" == 0 ]] && pass "Escape ends with 0" || fail "after Escape: exit code $EXIT_CODE, expected 0"
[[ -z $(portico_windows) ]] || fail "a portico window is still visible after exit"

# Alt+F4 reaches the window as WM_CLOSE, which closes it like Escape.
if start_skin_window "$skin" "1.0 test"; then
  sleep 0.3
  send_key "$WIN" alt+F4
  wait_exit "$PORTICO_PID" 10
  [[ "$EXIT_CODE" == 0 ]] && pass "Alt+F4 ends with 0" || fail "after Alt+F4: exit code $EXIT_CODE, expected 0"
fi

finish
