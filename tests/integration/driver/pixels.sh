# Screenshots and the pixel checks on them (tests/integration/pixels.py).
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the scenarios

PIXELS="python3 $SOURCE_DIR/tests/integration/pixels.py"

# Saves a screenshot of the whole screen to FILE (PPM); an adapter may
# take it another way.
screenshot() {
  import -window root "$1"
}

# Checks that the rectangle X Y W H of the screenshot (window at WIN_X,
# WIN_Y) equals the skin image REF there, ignoring pixels the mask cuts away
# and anything passed as further pixels.py options (e.g. --exclude X,Y,W,H).
# Usage: expect_region DESCRIPTION SHOT REF X Y W H [OPTIONS...]
expect_region() {
  local what=$1 shot=$2 ref=$3 bad total
  shift 3
  read -r bad total < <($PIXELS diff "$shot" "$WIN_X" "$WIN_Y" "$ref" "$@")
  if [[ -z "$total" || "$total" == 0 ]]; then
    fail "$what: nothing compared"
  elif [[ "$bad" == 0 ]]; then
    pass "$what ($total pixels)"
  else
    fail "$what: $bad of $total pixels differ from $(basename "$ref")"
  fi
}

# The pixels.py option that leaves out the pointer's surroundings at the
# window point (X, Y), where the adapter's screenshots may show the cursor.
cursor_exclude() {
  [[ "$SHOT_SHOWS_CURSOR" == yes ]] || return 0
  echo "--exclude $(($1 - 12)),$(($2 - 12)),32,32"
}

# Writes the first frame of the skin in folder SKIN, composed without a
# display by build/portico_compose, to OUT.
compose_frame() {
  (cd "$1" && "$BUILD_DIR/portico_compose" portico.ini "1.0 test" "$2") ||
    fail "portico_compose could not compose the frame"
}
