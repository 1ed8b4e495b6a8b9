// Where each control answers the pointer inside the window, traced pixel
// by pixel with the control's own hit test, so that a map of it shows
// what the launcher does, rings and arcs included.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "controls/pointer_control.h"
#include "graphics/types.h"

namespace portico {

class THitMap {
 public:
  // Hit tests spent at most: a hostile skin of thousands of window-sized
  // controls is traced only in part.
  static constexpr uint64_t DefaultBudget = uint64_t{64} * 1024 * 1024;

  // Traces the controls in order over a width x height window until the
  // budget is spent; later controls stay untraced.
  THitMap(std::span<const TPointerControl* const> controls, int32_t width, int32_t height,
          uint64_t budget = DefaultBudget);

  size_t Size() const { return traces_.size(); }
  bool Traced(size_t i) const { return traces_[i].Traced; }
  // The part of the window the hit test ran over: the control's bounds with
  // the right and bottom edge the hit test counts, cut to the window.
  const TRect& Area(size_t i) const { return traces_[i].Area; }
  // Whether the control answers at the window pixel (x, y).
  bool Hit(size_t i, int32_t x, int32_t y) const;
  uint64_t HitCount(size_t i) const { return traces_[i].Count; }
  size_t UntracedCount() const;

 private:
  struct TTrace {
    TRect Area;
    bool Traced = false;
    uint64_t Count = 0;
    std::vector<bool> Bits;  // Area's pixels, row by row
  };
  std::vector<TTrace> traces_;
};

}  // namespace portico
