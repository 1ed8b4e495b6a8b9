# portico.exe under Wine, in the build tree's prefix (scripts/wine-prefix.sh),
# on scripts/with-x.sh's Xvfb with openbox.
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the driver

source "$SOURCE_DIR/scripts/wine-env.sh" "$BUILD_DIR/wine"
RUNNER=("$WINELOADER")
TOOL_NAME=portico-skin.exe

# Wine names the X window's class after the executable: the title finds ours.
LAUNCHER_SEARCH=(--name '^FormInstall$')
any_launcher_windows() {
  xdotool search --onlyvisible --name '^FormInstall$' 2>/dev/null | sort -u
}
# The system's message box.
MESSAGE_TITLE='^Portico$'
# Which places it on the primary monitor, not exactly at its middle.
MESSAGE_CENTRED=no
FOCUS_WITHOUT_WM=no

# Wine's first start in a session takes seconds, and its drawing and input
# go through its own server.
WAIT_FACTOR=2 SHOWN_PAUSE=0.5 LAG=0.2
WINDOW_WAIT=$((10 * WAIT_FACTOR)) EXIT_WAIT=$((5 * WAIT_FACTOR))
SHOT_SHOWS_CURSOR=yes ALWAYS_COMPOSITED=no DRAG_MOVES_WINDOW=yes

# Wine shows the Unix file system as drive Z:. Each of these names a file
# Windows would open: a drive path, a drive-relative and a root-relative name.
rooted_descriptions() {
  local dos_ini="Z:${1//\//\\}\\portico.ini"
  printf 'drive path %s\t%s\n' "$dos_ini" "$dos_ini"
  printf 'drive-relative Z:portico.ini\tZ:portico.ini\n'
  printf 'leading backslash\t%s\n' "${dos_ini#Z:}"
}

# portico-skin.exe runs the portico.exe beside it; it builds the launcher's
# command line as one string, which must carry a blank and a non-ASCII letter.
WATCH_SKIN="watch ñ" WATCH_INI="my skin.ini" WATCH_MOVE=xdotool
WATCH_LAUNCHER_ARGS=()

# Checks of the shared scenarios this platform leaves out.
so_far="written for X11; not run under Wine so far"
NOT_RUN=(
  [command_line.one_argument]=$so_far
  [command_line.lower_case_exit]=$so_far
  [command_line.no_install]=$so_far
  [window.wm_class]="Wine names the X window's class after the executable"
  [window.title]="under Wine the window is found by this very title"
  [window.destroyed]=$so_far
  [pointer.quick_exit_click]=$so_far
  [pointer.leave_window]=$so_far
  [pointer.raised_window]=$so_far
  [shape.compose]="portico_compose is not built for Windows"
  [shape.notch]=$so_far
  [shape.escape]=$so_far
  [image_error.truncated_jpeg]=$so_far
  [image_error.stderr_names_file]=$so_far
  [monitors.randr-primary-second]="Wine takes its monitors from RandR's outputs, not RandR 1.5's monitors"
)

# Wine takes the monitors from the display its session started on, and
# every test shares the build's prefix: a scenario that starts X servers
# of its own runs in a prefix of its own (hard links to the build's, with
# copies of the registry files Wine writes), whose session is ended at
# each change so that the next start begins on the new display.
adapter_display_changed() {
  if [[ "$WINEPREFIX" != "$WORK/prefix" ]]; then
    cp -al "$WINEPREFIX" "$WORK/prefix" || return 1
    local reg
    for reg in "$WINEPREFIX"/*.reg; do cp --remove-destination "$reg" "$WORK/prefix/"; done
    export WINEPREFIX=$WORK/prefix
  fi
  "$(dirname "$WINELOADER")/wineserver" -k >/dev/null 2>&1
  "$(dirname "$WINELOADER")/wineserver" -w >/dev/null 2>&1
  return 0
}

adapter_setup() {
  [[ -f "$WINEPREFIX/system.reg" ]] || { echo "$TEST_NAME: no Wine prefix at $WINEPREFIX" >&2; exit 1; }
  # One Wine server for the whole test, so that each start is quick; it ends
  # by itself a few seconds after the last program.
  "$(dirname "$WINELOADER")/wineserver" -p5 >/dev/null 2>&1
  wine_settings
}

# Sets, each time, so that no earlier run's choice stays: the Windows
# version portico.exe is told and the desktop's DPI. Wine composites (as
# Windows 8 and later always do) from Windows 8 on, and its X windows blend
# only under a compositing manager: there portico.exe is told Windows 10
# and takes its layered window, elsewhere Windows 7, where Wine does not
# composite. The DPI is LogPixels: WINE_LOGPIXELS, else 96.
wine_settings() {
  local version=win7
  [[ -n "${PORTICO_COMPOSITOR:-}" ]] && version=win10
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\portico.exe]\n"Version"="%s"\n\n' \
    "$version" >"$WORK/prefix.reg"
  printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "${WINE_LOGPIXELS:-96}" \
    >>"$WORK/prefix.reg"
  "$WINELOADER" regedit /S "Z:${WORK//\//\\}\\prefix.reg" >/dev/null 2>&1
}

# Types a key that ends portico.exe (Escape, Return, Alt+F4) into a window,
# which takes the keyboard focus by itself: nothing activates it.
# HACK: Wine drops a key that arrives while it is still taking over the
# focus; the key is typed again, up to three times, while the program runs.
send_key() {
  local win=$1 key=$2 attempt i
  for ((attempt = 0; attempt < 3; attempt++)); do
    wait_keyboard_focus "$win"
    xdotool key "$key"
    for ((i = 0; i < 20; i++)); do
      is_running "$PORTICO_PID" || return 0
      sleep 0.1
    done
  done
}
