#include "classlib/shape_hit.h"

#include <algorithm>

namespace portico {

TShapeHit::TShapeHit(const std::vector<TRect>& rects) : shaped_(true) {
  rects_.reserve(rects.size());
  for (const TRect& r : rects)
    if (r.Right > r.Left && r.Bottom > r.Top) {
      rects_.push_back(r);
      tallest_ = std::max(tallest_, r.Bottom - r.Top);
    }
  std::stable_sort(rects_.begin(), rects_.end(), [](const TRect& a, const TRect& b) { return a.Top < b.Top; });
}

bool TShapeHit::Contains(int32_t x, int32_t y) const {
  if (!shaped_) return true;
  // Only rectangles starting at most `tallest_` rows above y can hold it;
  // masks give one row per rectangle, so this is a handful.
  auto it = std::lower_bound(rects_.begin(), rects_.end(), int64_t{y} - tallest_ + 1,
                             [](const TRect& r, int64_t top) { return r.Top < top; });
  for (; it != rects_.end() && it->Top <= y; ++it)
    if (y < it->Bottom && x >= it->Left && x < it->Right) return true;
  return false;
}

}  // namespace portico
