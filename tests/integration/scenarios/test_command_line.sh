#!/usr/bin/env bash
# Every start that cannot show a skin ends at once with exit code 0 and
# never maps a window: wrong argument count, a description that is missing,
# a folder or a rooted name (in each form the system could open), and
# skins without "Install" or "Exit". On Windows a skin whose description
# and images have non-ASCII names opens (the wide command line and the wide
# file calls).
source "$(dirname "$0")/../driver/driver.sh" "$@"

skin=$(make_skin skin)
mkdir -p "$skin/folder.ini"
no_exit=$(make_skin no-exit)
sed -i '/=Exit,/d' "$no_exit/portico.ini"

# Runs the launcher in DIR with the arguments; checks that it ends with 0
# in the adapter's time and that no window of it is mapped meanwhile or
# afterwards.
expect_quiet_exit() {
  local what=$1 dir=$2 seen="" i
  shift 2
  start_launcher "$dir" "$@"
  for ((i = 0; i < EXIT_WAIT * 20; i++)); do
    [[ -n $(any_launcher_windows) ]] && seen=yes
    is_running "$PORTICO_PID" || break
    sleep 0.05
  done
  wait_exit "$PORTICO_PID" 1
  [[ -n $(any_launcher_windows) ]] && seen=yes
  if [[ "$EXIT_CODE" != 0 ]]; then
    fail "$what: exit code $EXIT_CODE, expected 0 at once"
  elif [[ -n "$seen" ]]; then
    fail "$what: a window was mapped"
  else
    pass "$what: exit 0, no window"
  fi
}

park_pointer
if [[ -n $(any_launcher_windows) ]]; then
  fail "a portico window is already on the screen before the test"
  finish
fi

expect_quiet_exit "no arguments" "$skin"
runs one_argument && expect_quiet_exit "one argument" "$skin" portico.ini
expect_quiet_exit "three arguments" "$skin" portico.ini 1.0 extra
expect_quiet_exit "missing description" "$skin" missing.ini 1.0
expect_quiet_exit "description is a folder" "$skin" folder.ini 1.0
mapfile -t rooted < <(rooted_descriptions "$skin")
for line in "${rooted[@]}"; do
  expect_quiet_exit "${line%%$'\t'*}" "$skin" "${line#*$'\t'}" 1.0
done
expect_quiet_exit "no Exit control" "$no_exit" portico.ini 1.0
if runs lower_case_exit; then
  lower_exit=$(make_skin lower-exit)
  sed -i 's/=Exit,/=exit,/' "$lower_exit/portico.ini"
  expect_quiet_exit "only lower-case exit control" "$lower_exit" portico.ini 1.0
fi
if runs no_install; then
  no_install=$(make_skin no-install)
  sed -i '/=Install,/d' "$no_install/portico.ini"
  expect_quiet_exit "no Install control" "$no_install" portico.ini 1.0
fi

# Non-ASCII names: the description and every image.
if runs non_ascii_names; then
  intl=$(make_skin intl)
  for state in normal over down disable mask; do
    mv "$intl/$state.bmp" "$intl/$state-ñ-€.bmp"
    sed -i "s/=$state\.bmp/=$state-ñ-€.bmp/I" "$intl/portico.ini"
  done
  mv "$intl/portico.ini" "$intl/описание-ñ.ini"
  read -r IMG_W IMG_H < <(identify -format '%w %h\n' "$skin/normal.bmp")
  start_launcher "$intl" "описание-ñ.ini" "1.0 ß"
  if win=$(wait_launcher_window); then
    sleep 0.3
    window_geometry "$win"
    [[ "$WIN_W" == "$IMG_W" && "$WIN_H" == "$IMG_H" ]] && pass "non-ASCII names open: ${WIN_W}x$WIN_H" ||
      fail "non-ASCII names: window is ${WIN_W}x$WIN_H, image is ${IMG_W}x$IMG_H"
    send_key "$win" Escape
    wait_exit "$PORTICO_PID" "$EXIT_WAIT"
    [[ "$EXIT_CODE" == 0 ]] || fail "non-ASCII names: exit code $EXIT_CODE after Escape"
  else
    fail "non-ASCII names: no window appeared: $(head -c 300 "$PORTICO_ERR")"
    wait_exit "$PORTICO_PID" 1
  fi
fi

finish
