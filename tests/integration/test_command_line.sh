#!/usr/bin/env bash
# Every start that cannot show a skin ends at once with exit code 0 and
# never maps a window: wrong argument count, a description that is missing,
# a folder or an absolute path, and skins without "Install" or "Exit".
source "$(dirname "$0")/lib.sh" "$@"

skin=$(make_skin skin)
mkdir -p "$skin/folder.ini"

no_exit=$(make_skin no-exit)
sed -i '/=Exit,/d' "$no_exit/portico.ini"
lower_exit=$(make_skin lower-exit)
sed -i 's/=Exit,/=exit,/' "$lower_exit/portico.ini"
no_install=$(make_skin no-install)
sed -i '/=Install,/d' "$no_install/portico.ini"

# Runs portico in DIR with the arguments; checks that it ends with 0 within
# 5 s and that no window of it is mapped meanwhile or afterwards.
expect_quiet_exit() {
  local what=$1 dir=$2 seen="" i
  shift 2
  start_portico "$dir" "$@"
  for ((i = 0; i < 100; i++)); do
    [[ -n $(portico_windows) ]] && seen=yes
    is_running "$PORTICO_PID" || break
    sleep 0.05
  done
  wait_exit "$PORTICO_PID" 1
  [[ -n $(portico_windows) ]] && seen=yes
  if [[ "$EXIT_CODE" != 0 ]]; then
    fail "$what: exit code $EXIT_CODE, expected 0 at once"
  elif [[ -n "$seen" ]]; then
    fail "$what: a window was mapped"
  else
    pass "$what: exit 0, no window"
  fi
}

park_pointer
if [[ -n $(portico_windows) ]]; then
  fail "a portico window is already on the screen before the test"
  finish
fi

expect_quiet_exit "no arguments" "$skin"
expect_quiet_exit "one argument" "$skin" portico.ini
expect_quiet_exit "three arguments" "$skin" portico.ini 1.0 extra
expect_quiet_exit "missing description" "$skin" missing.ini 1.0
expect_quiet_exit "description is a folder" "$skin" folder.ini 1.0
expect_quiet_exit "absolute path" "$skin" "$skin/portico.ini" 1.0
expect_quiet_exit "no Exit control" "$no_exit" portico.ini 1.0
expect_quiet_exit "only lower-case exit control" "$lower_exit" portico.ini 1.0
expect_quiet_exit "no Install control" "$no_install" portico.ini 1.0

finish
