#!/usr/bin/env bash
# Configures and builds Portico with one of the presets of CMakePresets.json:
#   scripts/build.sh [PRESET [BUILD_DIR [EXTRA CMAKE ARGS...]]]
# PRESET defaults to "default" (build/, where the launcher ends up as
# build/portico); BUILD_DIR, when given, replaces the preset's folder.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=${1:-default}
[[ $# -gt 0 ]] && shift
dir_args=()
if [[ $# -gt 0 ]]; then
  dir_args=(-B "$(realpath -m "$1")")
  shift
fi

cd "$root"
cmake --preset "$preset" "${dir_args[@]}" "$@" >/dev/null
if [[ ${#dir_args[@]} -gt 0 ]]; then
  cmake --build "${dir_args[1]}"
else
  cmake --build --preset "$preset"
fi
