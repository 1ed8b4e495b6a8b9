# The skins the scenarios run: copies of the demo skin, and what their
# descriptions say.
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables set here are read by the scenarios

# Copies the demo skin into a new folder under $WORK and prints its path.
make_skin() {
  local dir=$WORK/$1
  mkdir -p "$dir"
  cp "$SOURCE_DIR"/demo/* "$dir"/
  echo "$dir"
}

# Reads the control rectangle "x y w h" of a control from a description file.
control_rect() {
  local ini=$1 name=$2
  grep -E "^[^;=]*=$name," "$ini" | head -n 1 | cut -d= -f2- | awk -F, '{print $2, $3, $4, $5}'
}

# An empty spot of the demo: inside the outline, on no control.
EMPTY_X=240 EMPTY_Y=205
