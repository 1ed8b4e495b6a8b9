#!/usr/bin/env bash
# Runs a Windows program under Wine in a given prefix:
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# CTest uses it as the emulator of the Windows build; the prefix is made by
# scripts/wine-prefix.sh. Exits with the program's exit code.
set -uo pipefail
[[ $# -ge 2 ]] || { echo "usage: $0 PREFIX PROGRAM [ARGS...]" >&2; exit 2; }
# shellcheck source=scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" "$1"
shift
[[ -f "$WINEPREFIX/system.reg" ]] || { echo "wine-run: no Wine prefix at $WINEPREFIX (run scripts/wine-prefix.sh)" >&2; exit 2; }

# One Wine server that outlives each program by 30 s, so that programs
# started one after another (or two at a time) share it instead of each
# starting and stopping their own; a second start just finds it running.
"$(dirname "$WINELOADER")/wineserver" -p30 >/dev/null 2>&1

# HACK: Wine's client sometimes loses its server connection while another
# program of the prefix starts ("wine client error: ... recvmsg"); that is
# Wine failing to start the program, not the program's answer: try once more.
err=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$err"' EXIT
rc=0
for attempt in 1 2; do
  "$WINELOADER" "$@" 2>"$err"
  rc=$?
  cat "$err" >&2
  grep -q '^wine client error' "$err" || break
  sleep 1
done
exit "$rc"
