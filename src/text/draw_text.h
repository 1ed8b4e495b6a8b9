// Single-line text layout and drawing into a bitmap. Each platform brings
// its own: FreeType with a bundled face on Linux, GDI's DrawTextW on Windows.
#pragma once
#include <memory>
#include <string>

#include "graphics/bitmap.h"

namespace portico {

// Format flags, with the values of the platform's DT_ flags (named apart
// so that this header and <windows.h> can meet).
enum TTextFormat : unsigned {
  tfLeft = 0x0,
  tfCenter = 0x1,
  tfRight = 0x2,
  tfVCenter = 0x4,
  tfSingleLine = 0x20,
  tfNoClip = 0x100,
  tfNoPrefix = 0x800,
  tfEndEllipsis = 0x8000,
};

// Draws UTF-16 text into `target` inside `rect` with the canvas font
// (size in points at 96 dpi, colour, style), antialiased and blended over
// the existing pixels. Single line; "&" underlines the next character and
// "&&" shows one "&" unless tfNoPrefix; with tfEndEllipsis text wider
// than the box ends in "...". Never draws outside the bitmap; without
// tfNoClip it is also clipped to `rect`. Marks what it drew as damage.
// Returns the height of the text drawn, 0 when nothing was drawn.
int DrawTextW(TBitmap& target, const std::u16string& text, TRect rect, unsigned format);

// What drawing text keeps between captions; each platform says what.
class TTextState;

// Sets text drawing up ahead of the first caption and owns what it keeps
// (on Linux the bundled face, opened here from memory, the glyph cache,
// and fontconfig once a caption names an installed family or has a
// character the bundled face lacks). Start-up makes one, in main; while it
// lives DrawTextW and TextExtentW use it, and its destructor waits for any
// caption being drawn. A second one made meanwhile does nothing. Without
// one, text drawing keeps its own state, opened on first use.
class TTextPreparation {
 public:
  TTextPreparation();
  ~TTextPreparation();
  TTextPreparation(const TTextPreparation&) = delete;
  TTextPreparation& operator=(const TTextPreparation&) = delete;

 private:
  std::unique_ptr<TTextState> state_;
};

// Size in pixels of text as DrawTextW lays it out on one line in `font`
// (advance width, line height); {0, 0} when nothing would be drawn.
// tfNoPrefix is the only format flag it looks at.
TPoint TextExtentW(const TFont& font, const std::u16string& text, unsigned format);

}  // namespace portico
