#!/usr/bin/env bash
# portico.exe under Wine: every start that cannot show a skin ends with exit
# code 0 and never maps a window, including a description named by a
# drive letter, a leading backslash or a drive-relative name, each of which
# Windows would open; a skin whose description and images have non-ASCII
# names opens (the wide command line and the wide file calls).
source "$(dirname "$0")/lib.sh" "$@"

skin=$(make_skin skin)
mkdir -p "$skin/folder.ini"
no_exit=$(make_skin no-exit)
sed -i '/=Exit,/d' "$no_exit/portico.ini"

# Runs portico.exe in DIR with the arguments; checks that it ends with 0
# within 10 s and that no window of it is mapped meanwhile or afterwards.
expect_quiet_exit() {
  local what=$1 dir=$2 seen="" i
  shift 2
  start_portico "$dir" "$@"
  for ((i = 0; i < 200; i++)); do
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

# Wine shows the Unix file system as drive Z:.
dos_ini="Z:${skin//\//\\}\\portico.ini"
expect_quiet_exit "no arguments" "$skin"
expect_quiet_exit "three arguments" "$skin" portico.ini 1.0 extra
expect_quiet_exit "missing description" "$skin" missing.ini 1.0
expect_quiet_exit "description is a folder" "$skin" folder.ini 1.0
expect_quiet_exit "drive path $dos_ini" "$skin" "$dos_ini" 1.0
expect_quiet_exit "drive-relative Z:portico.ini" "$skin" "Z:portico.ini" 1.0
expect_quiet_exit "leading backslash" "$skin" "${dos_ini#Z:}" 1.0
expect_quiet_exit "no Exit control" "$no_exit" portico.ini 1.0

# Non-ASCII names: the description and every image.
intl=$(make_skin intl)
for state in normal over down disable mask; do
  mv "$intl/$state.bmp" "$intl/$state-ñ-€.bmp"
  sed -i "s/=$state\.bmp/=$state-ñ-€.bmp/I" "$intl/portico.ini"
done
mv "$intl/portico.ini" "$intl/описание-ñ.ini"
read -r IMG_W IMG_H < <(identify -format '%w %h\n' "$skin/normal.bmp")
start_portico "$intl" "описание-ñ.ini" "1.0 ß"
if win=$(wait_portico_window 20); then
  sleep 0.3
  window_geometry "$win"
  [[ "$WIN_W" == "$IMG_W" && "$WIN_H" == "$IMG_H" ]] && pass "non-ASCII names open: ${WIN_W}x$WIN_H" ||
    fail "non-ASCII names: window is ${WIN_W}x$WIN_H, image is ${IMG_W}x$IMG_H"
  send_key "$win" Escape
  wait_exit "$PORTICO_PID" 10
  [[ "$EXIT_CODE" == 0 ]] || fail "non-ASCII names: exit code $EXIT_CODE after Escape"
else
  fail "non-ASCII names: no window appeared: $(head -c 300 "$PORTICO_ERR")"
  wait_exit "$PORTICO_PID" 1
fi

finish
