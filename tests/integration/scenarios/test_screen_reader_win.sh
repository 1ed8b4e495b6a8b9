#!/usr/bin/env bash
# A screen reader on Windows (msaa_client.exe, another process) takes the
# launcher's client object through MSAA: one child per control of the
# description, announced by its [ACCESSIBILITY] name, a push button (a link
# for URL, static text with the version for VersionCaption) where the
# control is on the screen,
# simple elements that hit-test to themselves; the default action of
# "Exit" ends the launcher with 1. Windows only (the wine adapter).
source "$(dirname "$0")/../driver/driver.sh" "$@"

CLIENT=("${RUNNER[@]}" "$BUILD_DIR/msaa_client.exe")
[[ -f "$BUILD_DIR/msaa_client.exe" ]] || { fail "no msaa_client.exe in $BUILD_DIR"; finish; }
# MSAA role numbers (oleacc.h).
ROLE_CLIENT=10 ROLE_LINK=30 ROLE_STATICTEXT=41 ROLE_PUSHBUTTON=43

skin=$(make_skin screen_reader)
ini=$skin/portico.ini
show_skin "$skin" "1.0 test" || finish
pause_shown
window_geometry "$WIN" || fail "xwininfo failed"

# One line per element (see msaa_client.cpp); Wine's console ends lines
# with CR LF.
tree=$(timeout 30 "${CLIENT[@]}" list 2>"$WORK/client.err" | tr -d '\r') ||
  fail "msaa_client list failed: $(cat "$WORK/client.err")"
# The line of the element announced as NAME, and its field N.
element() { awk -F'\t' -v name="$1" '$4 == name' <<<"$tree" | head -n 1; }
field() { cut -f"$1" <<<"$2"; }
# What control NAME is announced as: its [ACCESSIBILITY] entry (keys
# without regard to letter case), else its name.
announced() {
  local text
  text=$(awk -F= -v key="${1,,}" '/^\[/ { on = (toupper($0) == "[ACCESSIBILITY]"); next }
    on && tolower($1) == key { sub(/^[^=]*=/, ""); print; exit }' "$ini")
  echo "${text:-$1}"
}

client=$(grep $'^client\t' <<<"$tree")
where="$WIN_X,$WIN_Y,$WIN_W,$WIN_H"
[[ "$(field 3 "$client")" == "$ROLE_CLIENT" && "$(field 6 "$client")" == "$where" ]] &&
  pass "the client is where the window is" || fail "client '$client', window at $where"

names=$(sed -n '/^\[BUTTONPOS\]/,/^\[/p' "$ini" | grep -E '^[^;[][^=]*=' | cut -d= -f2 | cut -d, -f1)
children=$(grep -c $'^child\t' <<<"$tree")
[[ "$children" == "$(wc -l <<<"$names")" ]] && pass "$children children, one per control" ||
  fail "$children children for the controls $(tr '\n' ' ' <<<"$names")"

for name in $names; do
  child=$(element "$(announced "$name")")
  case $name in
    URL) role=$ROLE_LINK ;;
    VersionCaption) role=$ROLE_STATICTEXT ;;
    *) role=$ROLE_PUSHBUTTON ;;
  esac
  read -r x y w h < <(control_rect "$ini" "$name")
  want="$((WIN_X + x)),$((WIN_Y + y)),$w,$h"
  if [[ "$(field 3 "$child")" == "$role" && "$(field 6 "$child")" == "$want" ]]; then
    pass "$name: role $role at $want"
  else
    fail "$name: '$child', expected role $role at $want"
  fi
done

for name in Install Exit; do
  child=$(element "$(announced "$name")")
  [[ "$(field 9 "$child")" == "$(field 2 "$child")" && "$(field 8 "$child")" == Press ]] &&
    pass "$name: hit-tests to itself, default action Press" || fail "$name: '$child'"
done
[[ "$(field 5 "$(element "$(announced VersionCaption)")")" == "1.0 test" ]] &&
  pass "VersionCaption's value is the version" || fail "VersionCaption: '$(element "$(announced VersionCaption)")'"

# The click comes after the call has returned: the client hears S_OK.
exit_name=$(announced Exit)
result=$(timeout 30 "${CLIENT[@]}" press "$exit_name" 2>>"$WORK/client.err" | tr -d '\r')
[[ "$result" == "press $exit_name: 0x00000000" ]] && pass "the default action of Exit was done" ||
  fail "accDoDefaultAction on Exit: '$result' $(cat "$WORK/client.err")"
expect_exit_code 1 "the default action of Exit ends with 1"

finish
