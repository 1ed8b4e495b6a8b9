// The application object: one event loop, forms, hidden utility windows
// and their timers.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls.h"
#include "classlib/shape_hit.h"
#include "window/window_system.h"

namespace portico {

// The timer message of utility windows (the platform's WM_TIMER).
constexpr unsigned MsgTimer = 0x0113;

struct TMessage {
  unsigned Msg = 0;
  uintptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

class TApplication : public WindowEvents {
 public:
  explicit TApplication(WindowSystem& ws);
  ~TApplication() override;

  void Initialize();
  // Creates a form of type F with this application as owner and stores it
  // in `ref`. The first form whose constructor returns becomes MainForm.
  template <class F>
  void CreateForm(F*& ref) {
    ref = nullptr;
    auto form = std::make_unique<F>(this);
    ref = form.get();
    if (!main_form_) main_form_ = form.get();
    forms_.push_back(std::move(form));
  }
  // Runs the event loop until Terminate. Shows the main form first when
  // ShowMainForm is set.
  void Run();
  // Ends the loop after the current event.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Destroys the forms (their OnDestroy runs), newest first.
  void DestroyForms();

  bool ShowMainForm = true;
  TForm* MainForm() const { return main_form_; }

  // The shape last set on a window that the window system took.
  void KeepShape(WindowHandle window, TShapeHit shape) { shapes_[window] = std::move(shape); }
  const TShapeHit* ShapeOf(WindowHandle window) const {
    auto it = shapes_.find(window);
    return it == shapes_.end() ? nullptr : &it->second;
  }
  std::string Title = "Portico";

  // Shows an error in a message window and on stderr.
  void ShowException(const std::exception& e);
  void ShowException(const std::string& message);

  // Hidden utility windows: messages go to the given method.
  WindowHandle AllocateHWnd(TWndMethod method);
  void DeallocateHWnd(WindowHandle window);
  // Default processing of a utility window's message.
  intptr_t DefWindowProcA(WindowHandle window, unsigned msg, uintptr_t wparam, intptr_t lparam);

  // Timers on utility windows: MsgTimer with wParam id every interval_ms.
  // Returns the id, 0 on failure (no such window, zero id).
  unsigned SetTimer(WindowHandle window, unsigned id, unsigned interval_ms);
  bool KillTimer(WindowHandle window, unsigned id);
  size_t ActiveTimers() const { return timers_.size(); }

  // Runs every timer that is due now. Returns the milliseconds until the
  // next one is due, -1 when none runs.
  int64_t FireDueTimers();
  // One round of the loop: wait for events or the next timer, dispatch.
  void ProcessOnce();

  WindowSystem& Ws() { return ws_; }

  // Forms register their native windows for event dispatch.
  void RegisterWindow(WindowHandle window, TForm* form);
  void UnregisterWindow(WindowHandle window);

  // WindowEvents
  void PointerEvent(WindowHandle window, PointerAction action, int button, int x, int y) override;
  void KeyChar(WindowHandle window, char key) override;
  void CloseRequested(WindowHandle window) override;
  void WindowDestroyed(WindowHandle window) override;
  void WindowMoved(WindowHandle window, int x, int y) override;
  void KeyEvent(WindowHandle window, KeyAction action, VirtualKey key, bool shift) override;
  void KeyboardFocusChanged(WindowHandle window) override;
  void ScaleChanged(WindowHandle window, int factor, const TRect& suggested) override;

 private:
  struct Timer {
    WindowHandle window;
    unsigned id;
    unsigned interval;
    int64_t due;
  };
  TForm* FormOf(WindowHandle window) const;
  // Runs an event handler; an exception is shown and the loop goes on.
  void Guard(const std::function<void()>& handler);

  WindowSystem& ws_;
  bool terminated_ = false;
  TForm* main_form_ = nullptr;
  std::vector<std::unique_ptr<TForm>> forms_;
  std::map<WindowHandle, TForm*> windows_;
  std::map<WindowHandle, TShapeHit> shapes_;
  std::map<WindowHandle, TWndMethod> utility_windows_;
  std::vector<Timer> timers_;
  WindowHandle next_utility_ = 0;
};

// The one application object (set by the entry point or a test).
extern TApplication* Application;

// The operating-system calls the skin makes, answered by the application's
// window system.
bool GetCursorPos(TPoint& p);
WindowHandle GetForegroundWindow();
WindowHandle WindowFromPoint(TPoint p);
// The primary button as the pointer event being handled left it, or its
// live state when no pointer event is being handled (timers).
bool IsPrimaryButtonDown();
bool SetWindowRgn(WindowHandle window, const std::vector<TRect>* rects);
// Whether client point `p` is on the part of the window its shape keeps
// (true for a window without a shape).
bool PtInWindowShape(WindowHandle window, TPoint p);
// Whether a compositing manager shows per-pixel opacity.
bool IsCompositing();
// The window's per-pixel opacity (see WindowSystem::SetOpacity).
bool SetWindowOpacity(WindowHandle window, const TAlphaMap* alpha);
// A window drag through the window manager (see WindowSystem).
bool BeginWindowManagerMove(WindowHandle window, TPoint press);
bool EndWindowManagerMove(WindowHandle window);

}  // namespace portico
