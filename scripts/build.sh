#!/usr/bin/env bash
# Configures and builds Portico: scripts/build.sh [BUILD_DIR] [EXTRA CMAKE ARGS...]
# The launcher ends up at BUILD_DIR/portico (BUILD_DIR defaults to build/).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$root/build}
[[ $# -gt 0 ]] && shift

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
ninja -C "$build_dir"
