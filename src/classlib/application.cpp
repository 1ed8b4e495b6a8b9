#include "classlib/application.h"

#include <algorithm>
#include <cstdio>

#include "system/errors.h"

namespace portico {

TApplication* Application = nullptr;

namespace {
// Utility windows live in a handle range no backend hands out.
constexpr WindowHandle UtilityHandleBase = WindowHandle{1} << 48;
}  // namespace

TApplication::TApplication(WindowSystem& ws) : ws_(ws) {
  ws_.SetSink(this);
  next_utility_ = UtilityHandleBase;
}

TApplication::~TApplication() {
  DestroyForms();
  ws_.SetSink(nullptr);
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() { Application = this; }

void TApplication::DestroyForms() {
  while (!forms_.empty()) {
    std::unique_ptr<TForm> form = std::move(forms_.back());
    forms_.pop_back();
    form->BeforeDestruction();
    if (main_form_ == form.get()) main_form_ = nullptr;
    form.reset();
  }
}

void TApplication::Run() {
  if (ShowMainForm && main_form_ && !terminated_) Guard([&] { main_form_->Show(); });
  while (!terminated_) ProcessOnce();
}

void TApplication::ProcessOnce() {
  int64_t wait = FireDueTimers();
  if (terminated_) return;
  ws_.WaitEvents(wait);
  FireDueTimers();
}

int64_t TApplication::FireDueTimers() {
  int64_t now = ws_.NowMs();
  // Collect first: a handler may set or kill timers.
  std::vector<std::pair<WindowHandle, unsigned>> due;
  for (Timer& t : timers_) {
    if (t.due <= now) {
      due.emplace_back(t.window, t.id);
      t.due = now + t.interval;
    }
  }
  for (const auto& entry : due) {
    const WindowHandle window = entry.first;
    const unsigned id = entry.second;
    auto it = utility_windows_.find(window);
    if (it == utility_windows_.end()) continue;
    // The timer may have been killed by an earlier handler in this round.
    bool alive = std::any_of(timers_.begin(), timers_.end(),
                             [&](const Timer& t) { return t.window == window && t.id == id; });
    if (!alive) continue;
    TWndMethod method = it->second;  // a handler may deallocate the window
    Guard([&] {
      TMessage m{MsgTimer, id, 0, 0};
      method(m);
    });
  }
  if (timers_.empty()) return -1;
  int64_t next = INT64_MAX;
  for (const Timer& t : timers_) next = std::min(next, t.due);
  return std::max<int64_t>(0, next - ws_.NowMs());
}

void TApplication::ShowException(const std::exception& e) { ShowException(std::string(e.what())); }

void TApplication::ShowException(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", Title.c_str(), message.c_str());
  std::fflush(stderr);
  ws_.ShowMessage(Title, message);
}

void TApplication::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowException(std::string());
  }
}

WindowHandle TApplication::AllocateHWnd(TWndMethod method) {
  WindowHandle h = next_utility_++;
  utility_windows_[h] = std::move(method);
  return h;
}

void TApplication::DeallocateHWnd(WindowHandle window) {
  utility_windows_.erase(window);
  std::erase_if(timers_, [&](const Timer& t) { return t.window == window; });
}

intptr_t TApplication::DefWindowProcA(WindowHandle, unsigned, uintptr_t, intptr_t) { return 0; }

unsigned TApplication::SetTimer(WindowHandle window, unsigned id, unsigned interval_ms) {
  if (id == 0 || !utility_windows_.count(window)) return 0;
  interval_ms = std::max(interval_ms, 1u);
  int64_t due = ws_.NowMs() + interval_ms;
  for (Timer& t : timers_) {
    if (t.window == window && t.id == id) {
      t.interval = interval_ms;
      t.due = due;
      return id;
    }
  }
  timers_.push_back(Timer{window, id, interval_ms, due});
  return id;
}

bool TApplication::KillTimer(WindowHandle window, unsigned id) {
  auto before = timers_.size();
  std::erase_if(timers_, [&](const Timer& t) { return t.window == window && t.id == id; });
  return timers_.size() != before;
}

void TApplication::RegisterWindow(WindowHandle window, TForm* form) { windows_[window] = form; }
void TApplication::UnregisterWindow(WindowHandle window) {
  windows_.erase(window);
  shapes_.erase(window);
}

TForm* TApplication::FormOf(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second;
}

void TApplication::PointerEvent(WindowHandle window, PointerAction action, int button, int x, int y) {
  if (TForm* f = FormOf(window)) Guard([&] { f->HandlePointer(action, button, x, y); });
}

void TApplication::KeyChar(WindowHandle window, char key) {
  if (TForm* f = FormOf(window)) Guard([&] { f->HandleKey(key); });
}

void TApplication::KeyEvent(WindowHandle window, KeyAction action, VirtualKey key, bool shift) {
  if (TForm* f = FormOf(window)) Guard([&] { f->HandleKeyEvent(action, key, shift); });
}

void TApplication::KeyboardFocusChanged(WindowHandle window) {
  if (TForm* f = FormOf(window)) Guard([&] { f->HandleKeyboardFocus(); });
}

void TApplication::ScaleChanged(WindowHandle window, int factor, const TRect& suggested) {
  TForm* f = FormOf(window);
  if (f && f->OnScaleChange) Guard([&] { f->OnScaleChange(f, factor, suggested); });
}

void TApplication::CloseRequested(WindowHandle window) {
  if (TForm* f = FormOf(window)) Guard([&] { f->Close(); });
}

void TApplication::WindowDestroyed(WindowHandle window) {
  TForm* f = FormOf(window);
  if (!f) return;
  f->HandleDestroyed();
  // Without its window the main form can show nothing and take no input:
  // end the application instead of waiting for ever.
  if (f == main_form_) Terminate();
}

void TApplication::WindowMoved(WindowHandle window, int x, int y) {
  if (TForm* f = FormOf(window)) f->HandleMoved(x, y);
}

bool GetCursorPos(TPoint& p) { return Application && Application->Ws().CursorPos(p); }

WindowHandle GetForegroundWindow() { return Application ? Application->Ws().ForegroundWindow() : 0; }

WindowHandle WindowFromPoint(TPoint p) { return Application ? Application->Ws().WindowFromPoint(p) : 0; }

bool IsPrimaryButtonDown() {
  return Application && Application->Ws().PrimaryButtonDown();
}

bool SetWindowRgn(WindowHandle window, const std::vector<TRect>* rects) {
  if (!Application || window == 0 || !Application->Ws().SetShape(window, rects)) return false;
  Application->KeepShape(window, rects ? TShapeHit(*rects) : TShapeHit());
  return true;
}

bool PtInWindowShape(WindowHandle window, TPoint p) {
  const TShapeHit* shape = Application ? Application->ShapeOf(window) : nullptr;
  return !shape || shape->Contains(p.X, p.Y);
}

bool IsCompositing() { return Application && Application->Ws().Compositing(); }

bool SetWindowOpacity(WindowHandle window, const TAlphaMap* alpha) {
  return Application && window != 0 && Application->Ws().SetOpacity(window, alpha);
}

bool BeginWindowManagerMove(WindowHandle window, TPoint press) {
  return Application && window != 0 && Application->Ws().BeginWindowManagerMove(window, press);
}

bool EndWindowManagerMove(WindowHandle window) {
  // Without a window system there is nothing to cancel: the caller's own move is harmless.
  return !Application || window == 0 || Application->Ws().EndWindowManagerMove(window);
}

}  // namespace portico
