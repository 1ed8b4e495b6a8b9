// Which client points a window's shape keeps: a press there is on the
// window. Window systems that pass input on cut-away pixels to the window
// anyway (XWayland does) make the application ask this itself.
#pragma once
#include <vector>

#include "graphics/types.h"

namespace portico {

class TShapeHit {
 public:
  // No shape: every point is on the window.
  TShapeHit() = default;
  // The union of `rects` (in any order; empty ones are dropped).
  explicit TShapeHit(const std::vector<TRect>& rects);
  bool Contains(int32_t x, int32_t y) const;

 private:
  bool shaped_ = false;
  std::vector<TRect> rects_;  // sorted by Top
  int32_t tallest_ = 0;       // the tallest rectangle's height
};

}  // namespace portico
