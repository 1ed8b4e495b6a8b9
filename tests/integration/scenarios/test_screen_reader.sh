#!/usr/bin/env bash
# A screen reader (pyatspi, screen_reader_client.py) on a private session
# bus and accessibility bus finds the launcher as the application
# "Portico": a named frame where the window is, push buttons "Install" and
# "Exit" where the controls are on the screen (following the window when
# it moves), the version caption as a label with the version's text, the
# focused state and its events moving with Tab, and the action of "Exit"
# ending the launcher with 1. With the bus connected the idle launcher
# uses no CPU. Without any accessibility bus the launcher runs as before
# (every other scenario runs that way).
source "$(dirname "$0")/../driver/driver.sh" "$@"

CLIENT=(/usr/bin/python3 "$(dirname "$0")/screen_reader_client.py")
BUS_LAUNCHER=/usr/libexec/at-spi-bus-launcher
for need in "$BUS_LAUNCHER" /usr/libexec/at-spi2-registryd dbus-daemon; do
  command -v "$need" >/dev/null || { fail "$need is missing (scripts/install-deps.sh installs at-spi2-core and dbus)"; finish; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { fail "pyatspi is missing (python3-pyatspi)"; finish; }

# The bus launcher announces the accessibility bus on the root window,
# which outlives it: take it away again, and stop what the launcher
# started (its bus and, through that bus, the registry) by their ids.
descendants() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    echo "$child"
    descendants "$child"
  done
}
test_cleanup() {
  local pid
  xprop -root -remove AT_SPI_BUS 2>/dev/null
  [[ -n "${BUS_LAUNCHER_PID:-}" ]] || return 0
  for pid in $(descendants "$BUS_LAUNCHER_PID") "$BUS_LAUNCHER_PID"; do
    kill -TERM "$pid" 2>/dev/null
  done
}

# A private session bus, then the accessibility bus on it.
read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | tr '\n' ' ')
[[ -n "${bus_pid:-}" ]] || { fail "no private session bus"; finish; }
STARTED_PIDS+=("$bus_pid")
export DBUS_SESSION_BUS_ADDRESS=$bus_address
unset AT_SPI_BUS_ADDRESS
"$BUS_LAUNCHER" --launch-immediately >"$WORK/bus-launcher.log" 2>&1 &
BUS_LAUNCHER_PID=$!
STARTED_PIDS+=("$BUS_LAUNCHER_PID")
for ((i = 0; i < 50; i++)); do
  xprop -root AT_SPI_BUS 2>/dev/null | grep -q '"' && break
  sleep 0.1
done
xprop -root AT_SPI_BUS 2>/dev/null | grep -q '"' || { fail "the bus launcher set no AT_SPI_BUS"; cat "$WORK/bus-launcher.log" >&2; finish; }

skin=$(make_skin screen_reader)
ini=$skin/portico.ini
show_skin "$skin" "1.0 test" || finish
pause_shown
window_geometry "$WIN" || fail "xwininfo failed"

# The tree: one line per object (see screen_reader_client.py).
tree=$(timeout 30 "${CLIENT[@]}" tree 2>"$WORK/client.err") || { fail "no tree: $(cat "$WORK/client.err")"; }
# What a control is announced as: its [ACCESSIBILITY] name, else its own.
announced() {
  local name
  name=$(awk -F= -v key="$2" '/^\[/ {in_section = (tolower($0) ~ /^\[accessibility\]/)}
    in_section && $1 == key {sub(/^[^=]*=/, ""); print; exit}' "$1" | tr -d '\r')
  echo "${name:-$2}"
}
line() { awk -F'\t' -v kind="$1" -v name="$2" '$1 == kind && $2 == name' <<<"$tree"; }
field() { cut -f"$1" <<<"$2"; }

app=$(line application Portico)
[[ "$(field 3 "$app")" == application ]] && pass "application Portico" || fail "no application Portico: $tree"
frame=$(awk -F'\t' '$1 == "frame"' <<<"$tree")
[[ "$(field 3 "$frame")" == frame && -n "$(field 2 "$frame")" ]] && pass "its frame '$(field 2 "$frame")'" ||
  fail "no named frame: $tree"
[[ "$(field 4 "$frame")" == "$WIN_X,$WIN_Y,$WIN_W,$WIN_H" ]] && pass "the frame is where the window is" ||
  fail "frame extents $(field 4 "$frame"), window at $WIN_X,$WIN_Y,$WIN_W,$WIN_H"

for name in Install Exit; do
  control=$(line control "$(announced "$ini" "$name")")
  read -r x y w h < <(control_rect "$ini" "$name")
  want="$((WIN_X + x)),$((WIN_Y + y)),$w,$h"
  if [[ "$(field 3 "$control")" == "push button" && "$(field 4 "$control")" == "$want" ]]; then
    pass "push button $name at $want"
  else
    fail "$name: '$control', expected a push button at $want"
  fi
  grep -q 'enabled' <<<"$(field 5 "$control")" && grep -q 'showing' <<<"$(field 5 "$control")" &&
    grep -q 'sensitive' <<<"$(field 5 "$control")" && grep -q 'visible' <<<"$(field 5 "$control")" &&
    [[ "$(field 7 "$control")" == click ]] && pass "$name: enabled, sensitive, showing, visible, action click" ||
    fail "$name: states '$(field 5 "$control")', actions '$(field 7 "$control")'"
done

# The extents follow the window when it moves.
xdotool windowmove "$WIN" 100 120
settle 0.5
window_geometry "$WIN" || fail "xwininfo failed"
read -r x y w h < <(control_rect "$ini" Install)
moved=$(timeout 30 "${CLIENT[@]}" tree 2>>"$WORK/client.err" |
  awk -F'\t' -v name="$(announced "$ini" Install)" '$1 == "control" && $2 == name' | cut -f4)
[[ "$moved" == "$((WIN_X + x)),$((WIN_Y + y)),$w,$h" ]] && pass "Install follows the window to $WIN_X,$WIN_Y" ||
  fail "Install at '$moved' after the move, window at $WIN_X,$WIN_Y"

label=$(awk -F'\t' '$1 == "control" && $3 == "label"' <<<"$tree")
[[ "$(field 6 "$label")" == "1.0 test" ]] && pass "a label reads the version" || fail "no label with the version: $tree"

# Idle with the bus connected: no CPU at all.
before=$(cpu_ticks "$PORTICO_PID")
sleep 2
after=$(cpu_ticks "$PORTICO_PID")
((after - before <= 1)) && pass "idle: $((after - before)) ticks in 2 s" || fail "idle launcher used $((after - before)) ticks in 2 s"

# The focus: Tab moves it to a control, the screen reader hears it.
timeout 20 "${CLIENT[@]}" events 4 >"$WORK/events" 2>>"$WORK/client.err" &
listener=$!
STARTED_PIDS+=("$listener")
for ((i = 0; i < 50; i++)); do
  grep -q listening "$WORK/events" && break
  sleep 0.1
done
focus_before=$(timeout 20 "${CLIENT[@]}" focused)
send_key "$WIN" Tab
settle 0.5
focus_after=$(timeout 20 "${CLIENT[@]}" focused)
wait "$listener"
if [[ "$focus_before" == - && "$focus_after" == - ]]; then
  echo "not run: focus with Tab (no keyboard focus yet: no control was focused before or after Tab)"
else
  [[ "$focus_after" != - && "$focus_after" != "$focus_before" ]] && pass "Tab moves the focused state ($focus_before -> $focus_after)" ||
    fail "focused state before Tab '$focus_before', after '$focus_after'"
  grep -qP "^object:state-changed:focused\t\Q$focus_after\E\t1$" "$WORK/events" &&
    pass "object:state-changed:focused for $focus_after" || fail "no focus event for $focus_after: $(cat "$WORK/events")"
fi

close_with_escape "$WIN"

# Without the root's announcement the launcher asks the bus launcher on
# the session bus; the action of Exit ends it with 1.
xprop -root -remove AT_SPI_BUS
show_skin "$skin" "1.0 test" || finish
pause_shown
result=$(timeout 30 "${CLIENT[@]}" do "$(announced "$ini" Exit)" 2>>"$WORK/client.err")
[[ "$result" == True ]] && pass "the action of Exit was done" || fail "doAction on Exit: '$result' $(cat "$WORK/client.err")"
expect_exit_code 1 "the action of Exit ends with 1"

finish
