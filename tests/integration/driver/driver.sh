# The scenario library. A scenario sources this file with its own arguments:
#   source "$(dirname "$0")/../driver/driver.sh" "$@"
# Arguments: ADAPTER LAUNCHER SOURCE_DIR BUILD_DIR, where ADAPTER names a
# file in tests/integration/adapters/ (x11, wine, xwayland) that says how
# this way of running the launcher differs. DISPLAY must be set.
# shellcheck shell=bash

DRIVER_DIR=$(dirname "${BASH_SOURCE[0]}")
source "$DRIVER_DIR/harness.sh"
source "$DRIVER_DIR/process.sh"
source "$DRIVER_DIR/windows.sh"
source "$DRIVER_DIR/pixels.sh"
source "$DRIVER_DIR/skin.sh"

# Called when a scenario has moved DISPLAY to another X server of its own.
adapter_display_changed() { :; }
# Whether the message window is centred on the monitor (else only on it).
MESSAGE_CENTRED=yes
# Whether a window shown with no window manager running takes the keyboard.
FOCUS_WITHOUT_WM=yes

ADAPTER_FILE=$DRIVER_DIR/../adapters/$ADAPTER.sh
[[ -f "$ADAPTER_FILE" ]] || { echo "$TEST_NAME: no adapter $ADAPTER" >&2; exit 2; }
# The adapter may replace any step above with its own.
# shellcheck source=/dev/null  # one of tests/integration/adapters/*.sh
source "$ADAPTER_FILE"
check_not_run_entries

[[ -x "$PORTICO" ]] || { echo "$TEST_NAME: no launcher at $PORTICO" >&2; exit 1; }
[[ -n "${DISPLAY:-}" ]] || { echo "$TEST_NAME: DISPLAY is not set (run under scripts/with-x.sh)" >&2; exit 1; }
adapter_setup
