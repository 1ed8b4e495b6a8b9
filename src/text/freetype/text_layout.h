// Turns a caption into positioned glyphs on one line: "&" prefixes, face
// choice with fallback per character, advances, kerning and the ellipsis.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "text/freetype/font_library.h"
#include "text/freetype/text_state.h"

namespace portico {

// Most characters of one caption that are laid out; the rest is dropped.
// Captions are short labels: this only bounds the work hostile text causes.
inline constexpr size_t MaxCaptionChars = 4096;

// One character to show, and whether the "&" prefix underlines it.
struct TCaptionChar {
  char32_t Code = 0;
  bool Underline = false;
};

// A glyph placed on the line; positions in 26.6 pixels from the line start.
struct TPlacedGlyph {
  TFontRef Font;
  unsigned Index = 0;
  int64_t X = 0;
  int32_t Advance = 0;
  bool Underline = false;
};

// A laid-out line. Empty Glyphs: nothing to draw.
struct TTextLine {
  std::vector<TPlacedGlyph> Glyphs;
  int64_t Width = 0;     // 26.6, end of the last advance
  int32_t Pixels = 0;    // pixel size of the font
  TFaceMetrics Metrics;  // of the primary face
};

// Font size in points (at 96 dpi) to pixels, clamped to what we render.
int32_t FontPixelSize(int points);

// The characters a single-line caption shows: line breaks and other
// control characters dropped, "&" rules applied unless tfNoPrefix.
std::vector<TCaptionChar> CaptionChars(const std::u16string& text, unsigned format);

// Lays out text in the font with the faces and glyphs of `state`. With
// max_width >= 0 and text wider than it, the end is cut and "..." appended
// so that the line fits.
TTextLine LayoutLine(TTextState& state, const TFont& font, const std::u16string& text, unsigned format,
                     int64_t max_width);

}  // namespace portico
