#include "skintool/window_cover.h"

#include <algorithm>

namespace portico {

TWindowCover::TWindowCover(const std::optional<MaskRegion>& region) {
  if (!region) return;
  region_ = &*region;
  // The rectangles come row by row, one row high, left to right.
  const int32_t rows = std::max(region->Bound.Height(), 0);
  row_start_.assign(size_t(rows) + 1, region->Rects.size());
  for (size_t i = region->Rects.size(); i-- > 0;) {
    const int32_t y = region->Rects[i].Top;
    if (y >= 0 && y < rows) row_start_[size_t(y)] = i;
  }
  for (size_t y = size_t(rows); y-- > 0;)
    row_start_[y] = std::min(row_start_[y], row_start_[y + 1]);
}

bool TWindowCover::Keeps(int32_t x, int32_t y) const {
  if (!region_) return true;
  if (y < 0 || size_t(y) + 1 >= row_start_.size()) return false;
  const auto begin = region_->Rects.begin() + ptrdiff_t(row_start_[size_t(y)]);
  const auto end = region_->Rects.begin() + ptrdiff_t(row_start_[size_t(y) + 1]);
  const auto it =
      std::upper_bound(begin, end, x, [](int32_t v, const TRect& r) { return v < r.Left; });
  return it != begin && x < std::prev(it)->Right;
}

}  // namespace portico
