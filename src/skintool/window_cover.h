// Which pixels of the window its outline keeps, looked up in the
// launcher's own region of the mask.
#pragma once
#include <optional>
#include <vector>

#include "app/window_shape.h"

namespace portico {

class TWindowCover {
 public:
  // Without a region the window is a plain rectangle and keeps everything.
  explicit TWindowCover(const std::optional<MaskRegion>& region);
  bool Keeps(int32_t x, int32_t y) const;

 private:
  const MaskRegion* region_ = nullptr;
  // The rectangles over each row: [first_[y], end_[y]).
  std::vector<size_t> first_, end_;
};

}  // namespace portico
