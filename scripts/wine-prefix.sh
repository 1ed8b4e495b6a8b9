#!/usr/bin/env bash
# Creates a Wine prefix for running Portico's Windows build, once:
#   scripts/wine-prefix.sh PREFIX
# 64-bit, no network installs (no Mono, no Gecko), and the fonts of
# Debian's wine packages copied into its Fonts folder: without them
# "MS Sans Serif" silently becomes another face.
set -euo pipefail
[[ $# -eq 1 ]] || { echo "usage: $0 PREFIX" >&2; exit 2; }
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=scripts/wine-env.sh
source "$here/wine-env.sh" "$(realpath -m "$1")"
fonts=/usr/share/wine/fonts
stamp=$WINEPREFIX/.portico-prefix

if [[ -f "$stamp" ]]; then
  exit 0
fi
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
echo "wine-prefix: creating $WINEPREFIX"
# wineboot needs no display; without one Wine says so and carries on.
DISPLAY= "$WINELOADER" wineboot --init >/dev/null 2>&1
"$(dirname "$WINELOADER")/wineserver" -w
[[ -f "$WINEPREFIX/system.reg" ]] || { echo "wine-prefix: wineboot made no prefix" >&2; exit 1; }
[[ -d "$fonts" ]] || { echo "wine-prefix: no $fonts (package fonts-wine)" >&2; exit 1; }
cp "$fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/"
touch "$stamp"
