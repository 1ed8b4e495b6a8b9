// Enlarging by whole factors for high-DPI screens: every pixel becomes a
// k x k block, so outlines, masks and hot areas stay exact.
#pragma once
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/types.h"

namespace portico {

// `r` with every edge times k, clamped to 32 bits.
TRect ScaleRect(const TRect& r, int k);
std::vector<TRect> ScaleRects(const std::vector<TRect>& rects, int k);

// `source` k times as wide and high. With `keep` (in the enlarged image's
// coordinates) only those areas are made (TBitmap::SetSizeKeeping); a
// sparse source reads black where it kept nothing. Throws
// std::length_error when the result would be too large.
TBitmap EnlargeBitmap(const TBitmap& source, int k, const std::vector<TRect>* keep = nullptr);
TAlphaMap EnlargeAlphaMap(const TAlphaMap& source, int k);

}  // namespace portico
