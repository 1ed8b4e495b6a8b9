#!/usr/bin/env bash
# Re-makes the face Linux captions are drawn in,
# src/text/freetype/face/PorticoSans.ttf: DejaVu Sans from Debian's
# fonts-dejavu-core, cut to the Latin characters captions use with
# pyftsubset (Debian's python3-fonttools, which ships it as the module
# fontTools.subset) and renamed. The build embeds the committed file; this
# script is only needed to change it.
#   tools/make_caption_face.sh [SOURCE.ttf] [OUTPUT.ttf]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source=${1:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}
output=${2:-$root/src/text/freetype/face/PorticoSans.ttf}
# Debian's interpreter, which has python3-fonttools (a PATH python may not).
python=${PYTHON:-/usr/bin/python3}

chars=(
  U+0020-007E U+00A0-00FF U+0100-017F # Basic Latin, Latin-1 Supplement, Latin Extended-A
  U+0192 U+02C6 U+02DC                # the rest of Windows-1252 (ƒ ˆ ˜), as a Windows skin's text may have
  U+2010-2022 U+2026 U+2030 U+2039-203A U+20AC U+2122 # dashes, quotes, bullet, ellipsis, per mille, euro, TM
  U+FFFD                              # what text that is not UTF-8 shows
  # FreeType's auto-hinter (FT_LOAD_TARGET_LIGHT) measures the alignment
  # zones of superscripts (ª º ¹ ² ³) on these; without them those glyphs
  # are hinted differently from the full face.
  U+2070 U+2071 U+2075 U+2077 U+1D31 U+1D34 U+1D3C U+1D40 U+1D47-1D49 U+1D4D U+1D4F U+1D52 U+1D56
  U+1D9C U+1DA0 U+1DBB U+02B0 U+02B2 U+02B3 U+02B8 U+02E2 U+02E3
)

work=$(mktemp -d "${TMPDIR:-/tmp}/caption-face.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Captions are hinted by the auto-hinter, so the TrueType instructions are
# dropped; FreeType's kerning reads the old 'kern' table, kept, while the
# OpenType layout tables (not used) go. The .notdef box stays: it is shown
# for characters no installed face has.
"$python" -m fontTools.subset "$source" --output-file="$work/subset.ttf" \
  --unicodes="$(IFS=,; echo "${chars[*]}")" --no-hinting --legacy-kern --notdef-outline \
  --layout-features='' --drop-tables+=GSUB,GPOS,GDEF,MATH,FFTM --name-IDs='*'

# The Bitstream Vera licence allows changing the face only under a name
# without "Bitstream" or "Vera", and a cut face should not pass for DejaVu
# Sans itself: the family becomes "Portico Sans". The copyright and licence
# records stay, as the licence asks. The source's timestamps are kept, so
# the same input gives the same bytes.
"$python" - "$work/subset.ttf" "$output" <<'PY'
import sys
from fontTools.ttLib import TTFont

font = TTFont(sys.argv[1], recalcTimestamp=False)
names = font["name"]
for record in names.names:
    text = record.toUnicode()
    if record.nameID in (1, 3, 4, 16):
        text = text.replace("DejaVu Sans", "Portico Sans")
    elif record.nameID == 6:
        text = text.replace("DejaVuSans", "PorticoSans")
    else:
        continue
    names.setName(text, record.nameID, record.platformID, record.platEncID, record.langID)
names.setName("Latin subset of DejaVu Sans, renamed, for Portico's captions", 10, 3, 1, 0x409)
for record in names.names:
    text = record.toUnicode()
    if record.nameID in (1, 3, 4, 6, 16, 17, 18, 21, 22) and ("Bitstream" in text or "Vera" in text or "DejaVu" in text):
        sys.exit("make_caption_face: name %d still reads %r" % (record.nameID, text))
font.save(sys.argv[2])
PY
echo "$output: $(stat -c %s "$output") bytes"
