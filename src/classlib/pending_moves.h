// The positions a window was asked to take that the window system has not
// reported back yet. Window managers report moves late, in order, and may
// answer several requests at once: a report of a position asked for earlier
// answers that request and every one before it, and must not undo the
// newer ones still on their way.
#pragma once
#include <cstddef>
#include <deque>

#include "graphics/types.h"

namespace portico {

class TPendingMoves {
 public:
  // A move to `position` was asked for.
  void Asked(TPoint position);
  // The window system reports the window at `position`. True when that is
  // the window's position to take: no newer request is outstanding.
  bool Reported(TPoint position);
  size_t Outstanding() const { return asked_.size(); }

  // A window system that never answers must not make the list grow.
  static constexpr size_t MaxOutstanding = 256;

 private:
  std::deque<TPoint> asked_;  // oldest first
};

}  // namespace portico
