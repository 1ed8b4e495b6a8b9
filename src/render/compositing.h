// Composing the window's picture: a control's rectangle copied out of the
// whole-window image for its look.
#pragma once
#include "graphics/bitmap.h"

namespace portico {

// The whole-window images of a skin, one per look; any may be absent.
struct TStateImages {
  const TBitmap* Normal = nullptr;
  const TBitmap* Over = nullptr;
  const TBitmap* Down = nullptr;
  const TBitmap* Disable = nullptr;
};

// The image a control is drawn from: Disable (or Normal without it) when
// disabled, Normal when the pointer is not over it, Down or Over when it
// is. Absent when the chosen Over or Down image is absent: there is no
// fall-back to another look then.
const TBitmap* SelectStateImage(const TStateImages& images, bool enabled, bool hover, bool down);

// Copies `rect` of `source` to the same place in `frame`, cut at the edges
// of both; nothing when the source is absent.
void CopyRect(TBitmap& frame, const TBitmap* source, const TRect& rect);

}  // namespace portico
