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
exec "$WINELOADER" "$@"
