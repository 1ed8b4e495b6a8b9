#!/usr/bin/env bash
# A screen reader on Windows (msaa_client.exe, another process) takes the
# launcher's client object through MSAA: one child per control of the
# description, named after it, a push button (a link for URL, static text
# with the version for VersionCaption) where the control is on the screen,
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

# One line per element: "client|child ID role=R name=N value=V loc=X,Y,W,H ..."
# (Wine's console ends lines with CR LF.)
tree=$(timeout 30 "${CLIENT[@]}" list 2>"$WORK/client.err" | tr -d '\r') ||
  fail "msaa_client list failed: $(cat "$WORK/client.err")"
element() { grep -E "^(client|child) [0-9]+ role=[0-9]+ name=$1 " <<<"$tree" | head -n 1; }
attribute() { tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"; }

client=$(grep '^client ' <<<"$tree")
where="$WIN_X,$WIN_Y,$WIN_W,$WIN_H"
[[ "$(attribute role "$client")" == "$ROLE_CLIENT" && "$(attribute loc "$client")" == "$where" ]] &&
  pass "the client is where the window is" || fail "client '$client', window at $where"

names=$(sed -n '/^\[BUTTONPOS\]/,/^\[/p' "$ini" | grep -E '^[^;[][^=]*=' | cut -d= -f2 | cut -d, -f1)
children=$(grep -c '^child ' <<<"$tree")
[[ "$children" == "$(wc -l <<<"$names")" ]] && pass "$children children, one per control" ||
  fail "$children children for the controls $(tr '\n' ' ' <<<"$names")"

for name in $names; do
  child=$(element "$name")
  case $name in
    URL) role=$ROLE_LINK ;;
    VersionCaption) role=$ROLE_STATICTEXT ;;
    *) role=$ROLE_PUSHBUTTON ;;
  esac
  read -r x y w h < <(control_rect "$ini" "$name")
  want="$((WIN_X + x)),$((WIN_Y + y)),$w,$h"
  if [[ "$(attribute role "$child")" == "$role" && "$(attribute loc "$child")" == "$want" ]]; then
    pass "$name: role $role at $want"
  else
    fail "$name: '$child', expected role $role at $want"
  fi
done

for name in Install Exit; do
  child=$(element "$name")
  id=$(cut -d' ' -f2 <<<"$child")
  [[ "$(attribute hit "$child")" == "$id" && "$(attribute action "$child")" == Press ]] &&
    pass "$name: hit-tests to itself, default action Press" || fail "$name: '$child'"
done
[[ "$(element VersionCaption)" == *" value=1.0 test "* ]] && pass "VersionCaption's value is the version" ||
  fail "VersionCaption: '$(element VersionCaption)'"

# The click comes after the call has returned: the client hears S_OK.
result=$(timeout 30 "${CLIENT[@]}" press Exit 2>>"$WORK/client.err" | tr -d '\r')
[[ "$result" == "press Exit: 0x00000000" ]] && pass "the default action of Exit was done" ||
  fail "accDoDefaultAction on Exit: '$result' $(cat "$WORK/client.err")"
expect_exit_code 1 "the default action of Exit ends with 1"

finish
