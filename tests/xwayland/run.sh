#!/usr/bin/env bash
# The launcher on sway's XWayland display, run by scripts/with-sway.sh:
# the shared shape and pointer scenarios through the xwayland adapter
# (tests/integration/adapters/xwayland.sh). Screenshots come from grim, run
# as the sway user; input comes from xdotool.
# Usage: run.sh PORTICO_BINARY SOURCE_DIR BUILD_DIR
set -uo pipefail
[[ $# -eq 3 ]] || { echo "usage: $0 PORTICO_BINARY SOURCE_DIR BUILD_DIR" >&2; exit 2; }

scenarios=$(dirname "${BASH_SOURCE[0]}")/../integration/scenarios
failed=()
for scenario in shape pointer; do
  bash "$scenarios/test_$scenario.sh" xwayland "$@" || failed+=("$scenario")
done
if ((${#failed[@]} > 0)); then
  echo "xwayland: failed: ${failed[*]}" >&2
  exit 1
fi
echo "xwayland: all scenarios passed"
