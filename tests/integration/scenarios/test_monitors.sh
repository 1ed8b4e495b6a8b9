#!/usr/bin/env bash
# The launcher and its message window are centred on the primary monitor,
# not on the whole screen. Each case runs in a private X server of its own
# (no window manager, so windows stand where they ask to): two Xinerama
# heads of different sizes, with and without RandR, and RandR 1.5
# monitors where the primary one is not the first defined. Under Wine the
# program runs in a prefix of the test's own, whose Wine session starts on
# each private server in turn (Wine learns the monitors when its session
# starts).
source "$(dirname "$0")/../driver/driver.sh" "$@"

OUTER_DISPLAY=$DISPLAY
server_pid=

# Starts Xvfb with the given arguments on a free display and exports
# DISPLAY for it; false when none comes up.
start_server() {
  local n i
  for ((n = 300; n < 400; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" "$@" -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
    server_pid=$!
    STARTED_PIDS+=("$server_pid")
    for ((i = 0; i < 100; i++)); do
      kill -0 "$server_pid" 2>/dev/null || break
      DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && { export DISPLAY=":$n"; adapter_display_changed; return 0; }
      sleep 0.1
    done
    kill "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
  done
  return 1
}

stop_server() {
  adapter_display_changed
  kill "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
  export DISPLAY=$OUTER_DISPLAY
}

# Checks that window WIN of width W and height H stands centred on the
# monitor "MX MY MW MH" (within a pixel, for odd differences).
expect_centred() {
  local what=$1 win=$2 mx my mw mh
  read -r mx my mw mh <<<"$3"
  window_geometry "$win" || { fail "$what: no geometry"; return; }
  local want_x=$((mx + (mw - WIN_W) / 2)) want_y=$((my + (mh - WIN_H) / 2))
  if ((${WIN_X} - want_x <= 1 && want_x - ${WIN_X} <= 1 && ${WIN_Y} - want_y <= 1 && want_y - ${WIN_Y} <= 1)); then
    pass "$what: at $WIN_X,$WIN_Y, centred on $mw x $mh at $mx,$my"
  else
    fail "$what: at $WIN_X,$WIN_Y (${WIN_W}x$WIN_H), expected $want_x,$want_y on $mw x $mh at $mx,$my"
  fi
}

# Ends the program showing WIN with KEY; where a window takes no keyboard
# without a window manager (Wine's), by ending its process: only where
# the windows stand is looked at here.
end_program() {
  if [[ "$FOCUS_WITHOUT_WM" == yes ]]; then
    send_key "$1" "$2"
  else
    kill "$PORTICO_PID" 2>/dev/null
  fi
  wait_exit "$PORTICO_PID" "$EXIT_WAIT"
}

# Checks that window WIN lies wholly on the monitor "MX MY MW MH".
expect_inside() {
  local what=$1 win=$2 mx my mw mh
  read -r mx my mw mh <<<"$3"
  window_geometry "$win" || { fail "$what: no geometry"; return; }
  if ((WIN_X >= mx && WIN_Y >= my && WIN_X + WIN_W <= mx + mw && WIN_Y + WIN_H <= my + mh)); then
    pass "$what: at $WIN_X,$WIN_Y, on $mw x $mh at $mx,$my"
  else
    fail "$what: at $WIN_X,$WIN_Y (${WIN_W}x$WIN_H), not on $mw x $mh at $mx,$my"
  fi
}

# Runs the demo skin, then one with a broken image, on a server started
# with SERVER_ARGS (a string) after SETUP (a command line), and expects both
# windows centred on MONITOR ("x y w h").
check_case() {
  local what=$1 server_args=$2 setup=$3 monitor=$4 skin win
  # shellcheck disable=SC2086  # the server's arguments are words
  start_server $server_args || { fail "$what: no X server: $(cat "$WORK/xvfb.log")"; return; }
  [[ -z "$setup" ]] || eval "$setup" >/dev/null 2>&1 || fail "$what: setting up the monitors failed"
  skin=$(make_skin "$what")
  if show_skin "$skin" 1.0; then
    expect_centred "$what: launcher" "$WIN" "$monitor"
    end_program "$WIN" Escape
  fi
  printf 'BMgarbage' >"$skin/broken.bmp"
  sed -i 's/^Normal=.*/Normal=broken.bmp/' "$skin/portico.ini"
  start_launcher "$skin" portico.ini 1.0
  if win=$(wait_window "$WINDOW_WAIT" --name "$MESSAGE_TITLE"); then
    pause_shown
    if [[ "$MESSAGE_CENTRED" == yes ]]; then
      expect_centred "$what: message" "$win" "$monitor"
    else
      expect_inside "$what: message" "$win" "$monitor"
    fi
    end_program "$win" Return
  else
    fail "$what: no message window: $(head -c 300 "$PORTICO_ERR")"
    wait_exit "$PORTICO_PID" 1
  fi
  stop_server
}

runs xinerama && check_case xinerama "-screen 0 640x480x24 -screen 1 800x600x24 +xinerama -extension RANDR" "" "0 0 640 480"
runs xinerama-with-randr && check_case xinerama-with-randr "-screen 0 640x480x24 -screen 1 800x600x24 +xinerama" "" "0 0 640 480"
runs randr-primary-second && check_case randr-primary-second "-screen 0 1600x1200x24" \
  "xrandr --setmonitor left 800/200x1200/300+0+0 none && xrandr --setmonitor '*right' 600/150x400/100+900+100 none" \
  "900 100 600 400"

finish
