// A control's caption: one line of text drawn over the pixels just copied.
#pragma once
#include <string>

#include "graphics/bitmap.h"

namespace portico {

// How a caption is laid out and coloured.
struct TCaptionStyle {
  TRect TextRect;         // the box the text is laid out in
  int32_t Alignment = -1; // negative left, zero centred, positive right
  int32_t FontSize = 8;   // points
  TColor TextColor = 0;   // 0x00BBGGRR
  // The screen's scale: the box, the margins and the size are k times
  // larger in the frame, so the text is drawn crisp at its size there.
  int32_t Scale = 1;
};

// Draws the caption onto `frame` with its canvas font, single line,
// vertically centred, with "..." when too wide, transparent between the
// glyphs, and puts the font's colour, size and style back afterwards. An
// empty caption draws nothing and leaves the font alone.
void DrawCaptionText(TBitmap& frame, const std::u16string& caption, const TCaptionStyle& style);

}  // namespace portico
