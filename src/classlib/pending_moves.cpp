#include "classlib/pending_moves.h"

#include <algorithm>

namespace portico {

void TPendingMoves::Asked(TPoint position) {
  if (asked_.size() == MaxOutstanding) asked_.pop_front();
  asked_.push_back(position);
}

bool TPendingMoves::Reported(TPoint position) {
  // Reports come in the order of the requests they answer.
  auto answered = std::find(asked_.begin(), asked_.end(), position);
  if (answered != asked_.end())
    asked_.erase(asked_.begin(), answered + 1);
  else if (!asked_.empty())
    // A position nobody asked for: the window manager placed the oldest
    // request elsewhere. Only the answer to the newest one counts.
    asked_.pop_front();
  return asked_.empty();
}

}  // namespace portico
