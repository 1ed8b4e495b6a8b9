# The Linux binary on an X server with a window manager: scripts/with-x.sh's
# Xvfb with openbox, with picom too when PORTICO_COMPOSITOR=picom.
# Every adapter sets what this file sets; see tests/integration/driver/.
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the driver

# What runs the build's programs (nothing: they run themselves), and the
# skin tool's file name.
RUNNER=()
TOOL_NAME=portico-skin

# How the skin window is found, and any window of the launcher (by class,
# instance name or title) for checks that none is mapped.
LAUNCHER_SEARCH=(--class '^Portico$')
any_launcher_windows() {
  {
    xdotool search --onlyvisible --class '^portico$' 2>/dev/null
    xdotool search --onlyvisible --classname '^portico$' 2>/dev/null
    xdotool search --onlyvisible --name '^FormInstall$' 2>/dev/null
  } | sort -u
}
# The title of the message window for an image that cannot be decoded.
MESSAGE_TITLE='^Portico'

# Times: WAIT_FACTOR stretches every wait for a window, an exit or output;
# SHOWN_PAUSE follows a window's appearance; LAG is added to the pauses that
# let input and drawing land.
WAIT_FACTOR=1 SHOWN_PAUSE=0.3 LAG=0
WINDOW_WAIT=$((10 * WAIT_FACTOR)) EXIT_WAIT=$((5 * WAIT_FACTOR))

# Screenshots may show the cursor; a compositing manager runs only with
# PORTICO_COMPOSITOR (the window's depth tells); the window manager carries
# out the moves the launcher asks for.
SHOT_SHOWS_CURSOR=yes ALWAYS_COMPOSITED=no DRAG_MOVES_WINDOW=yes

# The rooted description names the command-line scenario tries: "LABEL<TAB>NAME"
# lines for the skin folder SKIN.
rooted_descriptions() {
  printf 'absolute path\t%s\n' "$1/portico.ini"
}

# portico-skin watch: the skin's folder and description, the launcher it
# runs, and how the user moves the window between restarts (drag or xdotool).
WATCH_SKIN=watch WATCH_INI=portico.ini WATCH_MOVE=drag
WATCH_LAUNCHER_ARGS=(--launcher "$PORTICO")

# Checks of the shared scenarios this platform leaves out.
NOT_RUN=(
  [command_line.non_ascii_names]="Linux passes names on as bytes; this checks the Windows build's UTF-16 command line and wide file calls"
  [window.alt_f4]="written for the Windows build, where Alt+F4 is the system's close; not run on X11 so far"
  [skin_watch.launcher_ends_with_watch]="written for the Windows build's job object; not run on X11 so far"
)

adapter_setup() {
  :
}
