// Single-line text layout and drawing into a bitmap (FreeType, fontconfig).
#pragma once
#include <string>

#include "platform/bitmap.h"

namespace portico {

// Format flags, as the layout call takes them.
enum : unsigned {
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_SINGLELINE = 0x20,
  DT_NOCLIP = 0x100,
  DT_NOPREFIX = 0x800,
  DT_END_ELLIPSIS = 0x8000,
};

// Draws UTF-16 text into `target` inside `rect` with the canvas font
// (size in points at 96 dpi, colour, style), antialiased and blended over
// the existing pixels. Single line; "&" underlines the next character and
// "&&" shows one "&" unless DT_NOPREFIX; with DT_END_ELLIPSIS text wider
// than the box ends in "...". Never draws outside the bitmap; without
// DT_NOCLIP it is also clipped to `rect`. Marks what it drew as damage.
// Returns the height of the text drawn, 0 when nothing was drawn.
int DrawTextW(TBitmap& target, const std::u16string& text, TRect rect, unsigned format);

// Size in pixels of text as DrawTextW lays it out on one line in `font`
// (advance width, line height); {0, 0} when nothing would be drawn.
// DT_NOPREFIX is the only format flag it looks at.
TPoint TextExtentW(const TFont& font, const std::u16string& text, unsigned format);

}  // namespace portico
