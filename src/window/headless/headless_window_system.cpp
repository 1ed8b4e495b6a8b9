#include "window/headless/headless_window_system.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

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
  std::erase(stack_, window);
  std::erase_if(move_reports_, [&](const MoveReport& r) { return r.Window == window; });
  if (foreground_ == window) foreground_ = 0;
  if (grab_ == window) grab_ = 0;
  if (wm_move_ && wm_move_->Window == window) wm_move_.reset();
}

void HeadlessWindowSystem::Raise(WindowHandle window) {
  if (!Find(window)) return;
  std::erase(stack_, window);
  stack_.push_back(window);
}

void HeadlessWindowSystem::ShowWindow(WindowHandle window, int x, int y, int w, int h) {
  if (Window* win = Find(window)) {
    const TPoint at = Placement(x, y, w, h);
    win->Visible = true;
    win->Bounds = TRect{at.X, at.Y, at.X + w, at.Y + h};
    win->Frame.SetSize(w, h);
    // Mapped raised, like XMapRaised; the focus only when a window manager would grant it.
    Raise(window);
    if (focus_on_show_) SetForeground(window);
    ReportMove(window, at.X, at.Y);
  }
}

void HeadlessWindowSystem::SetWindowBounds(WindowHandle window, int x, int y, int w, int h) {
  if (Window* win = Find(window)) {
    const TPoint at = Placement(x, y, w, h);
    win->Bounds = TRect{at.X, at.Y, at.X + w, at.Y + h};
    if (win->Frame.Width() != w || win->Frame.Height() != h) win->Frame.SetSize(w, h);
    ReportMove(window, at.X, at.Y);
  }
}

void HeadlessWindowSystem::MoveFromOutside(WindowHandle window, int x, int y) {
  if (Window* win = Find(window)) {
    win->Bounds = TRect{x, y, x + win->Bounds.Width(), y + win->Bounds.Height()};
    ReportMove(window, x, y);
  }
}

void HeadlessWindowSystem::ReportMove(WindowHandle window, int x, int y) {
  move_reports_.push_back(MoveReport{window, TPoint{x, y}});
}

bool HeadlessWindowSystem::DeliverMoveReport() {
  if (move_reports_.empty()) return false;
  const MoveReport report = move_reports_.front();
  move_reports_.pop_front();
  if (sink_ && Find(report.Window)) sink_->WindowMoved(report.Window, report.Position.X, report.Position.Y);
  return true;
}

void HeadlessWindowSystem::Schedule(int64_t at_ms, std::function<void()> input) {
  auto later = std::upper_bound(inputs_.begin(), inputs_.end(), at_ms,
                                [](int64_t at, const Input& i) { return at < i.At; });
  inputs_.insert(later, Input{at_ms, std::move(input)});
}

void HeadlessWindowSystem::WaitEvents(int64_t timeout_ms) {
  ReadMoveRequest();
  if (RunReadyDescriptors()) return;
  if (!move_reports_.empty()) {
    // What is queued arrives at once, as X delivers a queue.
    for (size_t n = move_reports_.size(); n > 0 && DeliverMoveReport(); --n) {
    }
    return;
  }
  const int64_t deadline = timeout_ms < 0 ? INT64_MAX : now_ + timeout_ms;
  if (!inputs_.empty() && inputs_.front().At <= deadline) {
    Input input = std::move(inputs_.front());
    inputs_.pop_front();
    now_ = std::max(now_, input.At);
    input.Run();
    return;
  }
  if (timeout_ms < 0) throw std::logic_error("headless window system: waiting for ever with nothing to come");
  now_ = deadline;
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

bool HeadlessWindowSystem::SetOpacity(WindowHandle window, const TAlphaMap* alpha) {
  Window* win = Find(window);
  if (!win || !compositing_) return false;
  if (alpha)
    win->Opacity = *alpha;
  else
    win->Opacity.reset();
  return true;
}

void HeadlessWindowSystem::ReportLeave(WindowHandle window) {
  Window* win = Find(window);
  if (!win || !sink_) return;
  sink_->PointerEvent(window, PointerAction::Leave, 0, pointer_.X - win->Bounds.Left, pointer_.Y - win->Bounds.Top);
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

WindowHandle HeadlessWindowSystem::OursAt(TPoint p) const {
  if (cover_ && cover_->Contains(p)) return 0;
  // Topmost first; through a cut-away part the one below shows.
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
    if (OnVisibleArea(windows_.at(*it), p)) return *it;
  return 0;
}

WindowHandle HeadlessWindowSystem::WindowFromPoint(TPoint p) {
  const WindowHandle ours = OursAt(p);
  return ours ? ours : ForeignWindow;
}

WindowHandle HeadlessWindowSystem::TargetWindow() const {
  return grab_ ? grab_ : OursAt(pointer_);
}

void HeadlessWindowSystem::SendPointer(PointerAction action, int button) {
  if (grabbed_elsewhere_ || WindowManagerTakes(action, button)) return;
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
  if (grabbed_elsewhere_) return;  // the program holding the pointer gets it
  WindowHandle target = TargetWindow();
  // Like a click-to-focus window manager: a press focuses the window.
  if (target && foreground_ != target) SetForeground(target);
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

void HeadlessWindowSystem::SetForeground(WindowHandle window) {
  if (window == foreground_) return;
  const WindowHandle before = foreground_;
  foreground_ = window;
  if (!sink_) return;
  if (Find(before)) sink_->KeyboardFocusChanged(before);
  if (Find(window)) sink_->KeyboardFocusChanged(window);
}

void HeadlessWindowSystem::KeyDown(VirtualKey key, bool shift) {
  if (!sink_ || !Find(foreground_)) return;
  const WindowHandle window = foreground_;
  sink_->KeyEvent(window, KeyAction::Down, key, shift);
  char text = 0;
  switch (key) {
    case VirtualKey::Tab: text = '\t'; break;
    case VirtualKey::Return: text = '\r'; break;
    case VirtualKey::Escape: text = 27; break;
    case VirtualKey::Space: text = ' '; break;
    default: break;
  }
  // The handler may have ended the window.
  if (text && sink_ && Find(window)) sink_->KeyChar(window, text);
}

void HeadlessWindowSystem::KeyUp(VirtualKey key, bool shift) {
  if (sink_ && Find(foreground_)) sink_->KeyEvent(foreground_, KeyAction::Up, key, shift);
}

void HeadlessWindowSystem::TypeKey(VirtualKey key, bool shift) {
  KeyDown(key, shift);
  KeyUp(key, shift);
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
