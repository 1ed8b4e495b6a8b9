#include "skintool/window_cover.h"

#include <algorithm>

namespace portico {

TWindowCover::TWindowCover(const std::optional<MaskRegion>& region) {
  if (!region) return;
  region_ = &*region;
  // The rectangles come in bands from the top, runs from the left; a band
  // is one row high, or k rows for an outline enlarged k times.
  const int32_t rows = std::max(region->Bound.Height(), 0);
  first_.assign(size_t(rows), 0);
  end_.assign(size_t(rows), 0);
  for (size_t i = 0; i < region->Rects.size(); ++i) {
    const TRect& r = region->Rects[i];
    for (int32_t y = std::max(r.Top, 0); y < std::min(r.Bottom, rows); ++y) {
      if (first_[size_t(y)] == end_[size_t(y)]) first_[size_t(y)] = i;
      end_[size_t(y)] = i + 1;
    }
  }
}

bool TWindowCover::Keeps(int32_t x, int32_t y) const {
  if (!region_) return true;
  if (y < 0 || size_t(y) >= first_.size()) return false;
  const auto begin = region_->Rects.begin() + ptrdiff_t(first_[size_t(y)]);
  const auto end = region_->Rects.begin() + ptrdiff_t(end_[size_t(y)]);
  const auto it =
      std::upper_bound(begin, end, x, [](int32_t v, const TRect& r) { return v < r.Left; });
  return it != begin && x < std::prev(it)->Right;
}

}  // namespace portico
