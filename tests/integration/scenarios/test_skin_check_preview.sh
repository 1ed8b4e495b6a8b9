#!/usr/bin/env bash
# portico-skin, a console program: check finds nothing wrong in the demo
# skin (exit 0, notes only, its summary on stderr) and names a missing Exit control as an editor reads it,
# file:line: error: (exit 2); preview writes the demo skin's sheet as a PNG
# of the size the committed one has, and a larger one at scale 2; check
# names a high-DPI image of a wrong size; preview refuses a skin with an
# undecodable image (exit 2); both take non-ASCII names from
# the command line (on Windows the wide one).
source "$(dirname "$0")/../driver/driver.sh" "$@"

need_tool

# Runs the tool in folder DIR with the given arguments; sets TOOL_CODE and
# leaves its output in $WORK/tool.out and $WORK/tool.err.
run_tool() {
  local dir=$1
  shift
  (cd "$dir" && timeout 60 "${RUNNER[@]}" "$TOOL" "$@") >"$WORK/tool.out" 2>"$WORK/tool.err"
  TOOL_CODE=$?
}

skin=$(make_skin demo)
run_tool "$skin" check portico.ini
if [[ "$TOOL_CODE" == 0 ]] && ! grep -qE ': (warning|error): ' "$WORK/tool.out" &&
  grep -qE '^portico\.ini: (no findings|[0-9]+ notes?)' "$WORK/tool.err"; then
  pass "check: the demo skin is clean ($(tail -n1 "$WORK/tool.err" | tr -d '\r'))"
else
  fail "check of the demo skin: exit $TOOL_CODE, $(head -c 300 "$WORK/tool.out" "$WORK/tool.err")"
fi

no_exit=$(make_skin no-exit)
sed -i '/=Exit,/d' "$no_exit/portico.ini"
run_tool "$no_exit" check portico.ini
if [[ "$TOOL_CODE" == 2 ]] && grep -qE '^portico\.ini:[0-9]+: error: no control named "Exit"' "$WORK/tool.out"; then
  pass "check: $(grep -m1 error: "$WORK/tool.out" | tr -d '\r')"
else
  fail "check without Exit: exit $TOOL_CODE, $(head -c 300 "$WORK/tool.out" "$WORK/tool.err")"
fi

read -r SHEET_W SHEET_H < <(identify -format '%w %h\n' "$SOURCE_DIR/docs/demo-preview.png")
run_tool "$skin" preview portico.ini 2.0 -o sheet.png
read -r kind w h < <(identify -format '%m %w %h\n' "$skin/sheet.png" 2>/dev/null)
# The findings under the panels are laid out by each platform's own text
# drawing, so only the width is exact.
[[ "$TOOL_CODE" == 0 && "${kind:-}" == PNG && "$w" == "$SHEET_W" ]] &&
  ((h * 10 >= SHEET_H * 9 && h * 10 <= SHEET_H * 11)) &&
  pass "preview: a ${w}x$h PNG" ||
  fail "preview: exit $TOOL_CODE, ${kind:-no file} ${w:-}x${h:-}, expected a ${SHEET_W}x$SHEET_H PNG: $(head -c 300 "$WORK/tool.err")"

# An Over image that cannot be decoded stops the launcher: preview says so
# with the check's finding and exit 2, and writes no sheet in its place.
broken=$(make_skin broken)
printf 'not an image' >"$broken/over.bmp"
run_tool "$broken" preview portico.ini -o sheet.png
if [[ "$TOOL_CODE" == 2 && ! -e "$broken/sheet.png" ]] && grep -qE '^portico\.ini:[0-9]+: error: Over image .*\[image-undecodable\]' "$WORK/tool.err"; then
  pass "preview: $(grep -m1 image-undecodable "$WORK/tool.err" | tr -d '\r')"
else
  fail "preview with an undecodable Over image: exit $TOOL_CODE, $(ls "$broken") $(head -c 300 "$WORK/tool.err")"
fi

# An image drawn for a high-DPI screen at a wrong size is named by check;
# the sheet at scale 2 is larger than the 1x one, and preview leaves the
# naming to the findings rather than saying it as the launcher would.
scaled=$(make_skin scaled)
cp "$scaled/over.bmp" "$scaled/over@2x.bmp"
run_tool "$scaled" check portico.ini
if [[ "$TOOL_CODE" == 1 ]] && grep -qE '^portico\.ini:[0-9]+: warning: .*over@2x\.bmp .*left out.*\[scaled-image-size\]' "$WORK/tool.out"; then
  pass "check: $(grep -m1 scaled-image-size "$WORK/tool.out" | tr -d '\r')"
else
  fail "check with a wrong-size over@2x.bmp: exit $TOOL_CODE, $(head -c 300 "$WORK/tool.out" "$WORK/tool.err")"
fi
run_tool "$scaled" preview portico.ini --scale 2 -o sheet.png
read -r w2 h2 < <(identify -format '%w %h\n' "$scaled/sheet.png" 2>/dev/null)
[[ "$TOOL_CODE" == 0 && "${w2:-0}" -gt "$SHEET_W" && "${h2:-0}" -gt "$SHEET_H" ]] &&
  ! grep -q '^portico:' "$WORK/tool.err" &&
  pass "preview --scale 2: a ${w2}x$h2 PNG" ||
  fail "preview --scale 2: exit $TOOL_CODE, ${w2:-}x${h2:-}, expected larger than ${SHEET_W}x$SHEET_H: $(head -c 300 "$WORK/tool.err")"

# Non-ASCII names: the description, an image, and the sheet.
intl=$(make_skin intl)
mv "$intl/normal.bmp" "$intl/fond-ñ.bmp"
sed -i 's/^Normal=normal\.bmp/Normal=fond-ñ.bmp/' "$intl/portico.ini"
mv "$intl/portico.ini" "$intl/описание.ini"
run_tool "$intl" check описание.ini
[[ "$TOOL_CODE" == 0 ]] && pass "check: non-ASCII names" ||
  fail "check with non-ASCII names: exit $TOOL_CODE, $(head -c 300 "$WORK/tool.out" "$WORK/tool.err")"
run_tool "$intl" preview описание.ini -o "лист-€.png"
[[ "$TOOL_CODE" == 0 && -s "$intl/лист-€.png" ]] && pass "preview: a sheet with a non-ASCII name" ||
  fail "preview to a non-ASCII name: exit $TOOL_CODE, $(ls "$intl") $(head -c 300 "$WORK/tool.err")"

finish
