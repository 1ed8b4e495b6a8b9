# Environment for running Windows programs under Wine without prompts or
# noise. Source it with the prefix folder:   source wine-env.sh PREFIX
# Sets WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and WINELOADER, and the
# function wine_run (runs a Windows program, passing its exit code on).
# shellcheck shell=bash

export WINEPREFIX=$(realpath -m "$1")
export WINEARCH=win64
# No debug channels: Wine's fixme lines would bury our own output.
export WINEDEBUG=-all
# No Mono or Gecko install prompts, no desktop menu entries for the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Debian ships the 64-bit loader apart from the wine wrapper, which
# would look for the 32-bit one first.
export WINELOADER=/usr/lib/wine/wine64

wine_run() {
  "$WINELOADER" "$@"
}
