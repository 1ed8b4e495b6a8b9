#include "skintool/hit_map.h"

#include <algorithm>

namespace portico {

THitMap::THitMap(std::span<const TPointerControl* const> controls, int32_t width, int32_t height,
                 uint64_t budget) {
  traces_.resize(controls.size());
  for (size_t i = 0; i < controls.size(); ++i) {
    const TRect& b = controls[i]->Bounds;
    TTrace& t = traces_[i];
    // The hit test counts Right and Bottom as inside.
    const int64_t right = std::min<int64_t>(int64_t{b.Right} + 1, width);
    const int64_t bottom = std::min<int64_t>(int64_t{b.Bottom} + 1, height);
    t.Area = TRect{std::max(b.Left, 0), std::max(b.Top, 0), int32_t(std::max<int64_t>(right, 0)),
                   int32_t(std::max<int64_t>(bottom, 0))};
    if (t.Area.IsEmpty()) {
      t.Area = TRect{};
      t.Traced = true;
      continue;
    }
    const uint64_t pixels = uint64_t(t.Area.Width()) * uint64_t(t.Area.Height());
    if (pixels > budget) continue;
    budget -= pixels;
    t.Bits.resize(pixels);
    size_t k = 0;
    for (int32_t y = t.Area.Top; y < t.Area.Bottom; ++y)
      for (int32_t x = t.Area.Left; x < t.Area.Right; ++x, ++k)
        if (controls[i]->HitTest(x, y)) {
          t.Bits[k] = true;
          ++t.Count;
        }
    t.Traced = true;
  }
}

bool THitMap::Hit(size_t i, int32_t x, int32_t y) const {
  const TTrace& t = traces_[i];
  if (!t.Traced || !t.Area.Contains(x, y)) return false;
  return t.Bits[size_t(y - t.Area.Top) * size_t(t.Area.Width()) + size_t(x - t.Area.Left)];
}

size_t THitMap::UntracedCount() const {
  return size_t(
      std::count_if(traces_.begin(), traces_.end(), [](const TTrace& t) { return !t.Traced; }));
}

}  // namespace portico
