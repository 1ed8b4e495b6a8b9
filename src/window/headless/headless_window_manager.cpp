// The headless window system's window manager: where it places windows,
// and the moves handed to it, which it may get to late.
#include <algorithm>

#include "window/headless/headless_window_system.h"

namespace portico {

TPoint HeadlessWindowSystem::Placement(int x, int y, int w, int h) const {
  if (!keep_on_screen_) return TPoint{x, y};
  return TPoint{std::clamp(x, 0, std::max(screen_.X - w, 0)), std::clamp(y, 0, std::max(screen_.Y - h, 0))};
}

bool HeadlessWindowSystem::BeginWindowManagerMove(WindowHandle window, TPoint press) {
  Window* win = Find(window);
  if (!win || !wm_moves_) return false;
  // The press's implicit grab is let go of, so that the window manager can take the pointer.
  grab_ = 0;
  wm_move_ = WmMove{window, press, TPoint{win->Bounds.Left, win->Bounds.Top}, false, false, false};
  if (!wm_late_) ReadMoveRequest();
  return true;
}

void HeadlessWindowSystem::ReadMoveRequest() {
  if (!wm_move_ || wm_move_->Read) return;
  wm_move_->Read = true;
  wm_move_->Taken = PrimaryButtonDown();
}

bool HeadlessWindowSystem::WindowManagerTakes(PointerAction action, int button) {
  if (!wm_move_ || !wm_move_->Taken || wm_move_->ReleaseSeen) return false;
  if (Window* win = Find(wm_move_->Window)) {
    const int x = wm_move_->Origin.X + pointer_.X - wm_move_->Press.X;
    const int y = wm_move_->Origin.Y + pointer_.Y - wm_move_->Press.Y;
    if (x != win->Bounds.Left || y != win->Bounds.Top) MoveFromOutside(wm_move_->Window, x, y);
  }
  if (action == PointerAction::Release && button == 1) wm_move_->ReleaseSeen = true;
  return true;
}

bool HeadlessWindowSystem::EndWindowManagerMove(WindowHandle window) {
  if (!wm_move_ || wm_move_->Window != window) return false;
  const bool seen = wm_move_->ReleaseSeen;
  wm_move_.reset();
  return seen;
}

}  // namespace portico
