#include "platform/headless/headless_window_system.h"

namespace portico {

HeadlessWindowSystem::HeadlessWindowSystem(int screen_width, int screen_height)
    : screen_{screen_width, screen_height} {}

HeadlessWindowSystem::Window* HeadlessWindowSystem::Find(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowHandle HeadlessWindowSystem::CreateTopLevel(const TopLevelSpec& spec, int width, int height) {
  WindowHandle h = next_++;
  Window w;
  w.Spec = spec;
  w.Bounds = TRect{0, 0, width, height};
  windows_[h] = std::move(w);
  return h;
}

void HeadlessWindowSystem::DestroyWindow(WindowHandle window) {
  windows_.erase(window);
  if (foreground_ == window) foreground_ = 0;
  if (grab_ == window) grab_ = 0;
}

void HeadlessWindowSystem::ShowWindow(WindowHandle window, int x, int y, int w, int h) {
  if (Window* win = Find(window)) {
    win->Visible = true;
    win->Bounds = TRect{x, y, x + w, y + h};
    win->Frame.SetSize(w, h);
    foreground_ = window;  // a newly shown window gets the focus
  }
}

void HeadlessWindowSystem::SetWindowBounds(WindowHandle window, int x, int y, int w, int h) {
  if (Window* win = Find(window)) {
    win->Bounds = TRect{x, y, x + w, y + h};
    if (win->Frame.Width() != w || win->Frame.Height() != h) win->Frame.SetSize(w, h);
  }
}

void HeadlessWindowSystem::Present(WindowHandle window, const TBitmap& frame,
                                   const std::vector<TRect>& changed) {
  Window* win = Find(window);
  if (!win) return;
  for (const TRect& r : changed)
    BitBlt(win->Frame, r.Left, r.Top, r.Width(), r.Height(), frame, r.Left, r.Top);
  win->Frame.TakeDamage();
  win->Presents.push_back(changed);
}

bool HeadlessWindowSystem::SetShape(WindowHandle window, const std::vector<TRect>* rects) {
  Window* win = Find(window);
  if (!win) return false;
  if (rects)
    win->Shape = *rects;
  else
    win->Shape.reset();
  return true;
}

bool HeadlessWindowSystem::CursorPos(TPoint& screen) {
  if (!cursor_ok_) return false;
  screen = pointer_;
  return true;
}

bool HeadlessWindowSystem::OnVisibleArea(const Window& w, TPoint p) const {
  if (!w.Visible || !w.Bounds.Contains(p)) return false;
  if (!w.Shape) return true;
  int x = p.X - w.Bounds.Left, y = p.Y - w.Bounds.Top;
  for (const TRect& r : *w.Shape)
    if (r.Contains(x, y)) return true;
  return false;
}

WindowHandle HeadlessWindowSystem::WindowFromPoint(TPoint p) {
  if (cover_ && cover_->Contains(p)) return ForeignWindow;
  for (auto& [h, w] : windows_)
    if (OnVisibleArea(w, p)) return h;
  return ForeignWindow;
}

WindowHandle HeadlessWindowSystem::TargetWindow() const {
  if (grab_) return grab_;
  if (cover_ && cover_->Contains(pointer_)) return 0;
  for (auto& [h, w] : windows_)
    if (OnVisibleArea(w, pointer_)) return h;
  return 0;
}

void HeadlessWindowSystem::SendPointer(PointerAction action, int button) {
  WindowHandle target = TargetWindow();
  if (!target || !sink_) return;
  const Window& w = windows_.at(target);
  sink_->PointerEvent(target, action, button, pointer_.X - w.Bounds.Left,
                      pointer_.Y - w.Bounds.Top);
}

void HeadlessWindowSystem::MovePointer(int x, int y) {
  pointer_ = TPoint{x, y};
  SendPointer(PointerAction::Move, 0);
}

void HeadlessWindowSystem::PressButton(int button) {
  SetButtonState(button, true);
  WindowHandle target = TargetWindow();
  // Like a click-to-focus window manager: a press focuses the window.
  if (target && foreground_ != target) foreground_ = target;
  SendPointer(PointerAction::Press, button);
  if (!grab_) grab_ = target;
}

void HeadlessWindowSystem::ReleaseButton(int button) {
  SetButtonState(button, false);
  SendPointer(PointerAction::Release, button);
  if (buttons_ == 0) grab_ = 0;
}

void HeadlessWindowSystem::SetButtonState(int button, bool down) {
  unsigned bit = 1u << (button - 1);
  buttons_ = down ? (buttons_ | bit) : (buttons_ & ~bit);
}

void HeadlessWindowSystem::PressKey(char key) {
  if (sink_ && foreground_) sink_->KeyChar(foreground_, key);
}

void HeadlessWindowSystem::RequestClose(WindowHandle window) {
  if (sink_) sink_->CloseRequested(window);
}

void HeadlessWindowSystem::DestroyFromOutside(WindowHandle window) {
  if (!Find(window)) return;
  DestroyWindow(window);
  if (sink_) sink_->WindowDestroyed(window);
}

void HeadlessWindowSystem::ShowMessage(const std::string& title, const std::string& text) {
  messages_.push_back(title + ": " + text);
}

}  // namespace portico
