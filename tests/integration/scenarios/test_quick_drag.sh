#!/usr/bin/env bash
# A quick drag keeps its grip: a press on an empty spot of the demo followed
# by one burst of a hundred pointer moves (no pauses) and a release moves the
# window by exactly the pointer's travel, however late the window manager
# reports the moves it made on the way.
source "$(dirname "$0")/../driver/driver.sh" "$@"

skin=$(make_skin demo)
STEPS=100 DX=300 DY=200

show_skin "$skin" "1.0 test" || finish
pause_shown
window_geometry "$WIN"
old_x=$WIN_X old_y=$WIN_Y
start_x=$((old_x + EMPTY_X)) start_y=$((old_y + EMPTY_Y))
xdotool mousemove "$start_x" "$start_y"
settle 0.3

burst=(mousedown 1)
for ((i = 1; i <= STEPS; i++)); do
  burst+=(mousemove $((start_x + DX * i / STEPS)) $((start_y + DY * i / STEPS)))
done
burst+=(mouseup 1)
xdotool "${burst[@]}"
# The window manager may still be working through the moves.
settle 0.6

window_geometry "$WIN"
off_x=$((WIN_X - old_x - DX)) off_y=$((WIN_Y - old_y - DY))
if ((off_x >= -1 && off_x <= 1 && off_y >= -1 && off_y <= 1)); then
  pass "a quick drag by $DX,$DY moved the window by $((WIN_X - old_x)),$((WIN_Y - old_y))"
else
  fail "a quick drag by $DX,$DY moved the window by $((WIN_X - old_x)),$((WIN_Y - old_y))"
fi

park_pointer
send_key "$WIN" Escape
expect_exit_code 0 "Escape ends with 0"
finish
