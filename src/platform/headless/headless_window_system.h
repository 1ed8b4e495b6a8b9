// An in-memory window system for tests: windows, a pointer with buttons, a
// foreground window and a clock, all driven by the test.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace portico {

class HeadlessWindowSystem : public WindowSystem {
 public:
  struct Window {
    TopLevelSpec Spec;
    TRect Bounds;  // client area on the screen
    bool Visible = false;
    std::optional<std::vector<TRect>> Shape;  // none: rectangular
    TBitmap Frame;                            // what the window shows
    std::vector<std::vector<TRect>> Presents; // changed lists, one per hand-over
  };

  explicit HeadlessWindowSystem(int screen_width = 1920, int screen_height = 1080);

  // --- the test's controls ---
  // Moves the pointer to a screen point; the window under it (or the one
  // holding the pressed button) gets a move event.
  void MovePointer(int x, int y);
  void PressButton(int button = 1);
  void ReleaseButton(int button = 1);
  // Sets the physical button state without sending an event.
  void SetButtonState(int button, bool down);
  void PressKey(char key);
  void RequestClose(WindowHandle window);
  // Another program destroys the window (it vanishes, then the owner hears).
  void DestroyFromOutside(WindowHandle window);
  void SetForeground(WindowHandle window) { foreground_ = window; }
  // Another top-level window covering this screen rectangle (above ours).
  void SetCoveringWindow(std::optional<TRect> r) { cover_ = r; }
  void SetCursorReadable(bool ok) { cursor_ok_ = ok; }
  // Advances the clock; the caller then lets the application fire timers.
  void Advance(int64_t ms) { now_ += ms; }
  // Answers of ShowMessage so far ("title: text").
  const std::vector<std::string>& Messages() const { return messages_; }
  Window* Find(WindowHandle window);
  const std::map<WindowHandle, Window>& Windows() const { return windows_; }
  TPoint Pointer() const { return pointer_; }
  // The handle WindowFromPoint reports for the desktop or a foreign window.
  static constexpr WindowHandle ForeignWindow = 0xF00D;

  // --- WindowSystem ---
  WindowHandle CreateTopLevel(const TopLevelSpec& spec, int width, int height) override;
  void DestroyWindow(WindowHandle window) override;
  void ShowWindow(WindowHandle window, int x, int y, int w, int h) override;
  void SetWindowBounds(WindowHandle window, int x, int y, int w, int h) override;
  TPoint ScreenSize() override { return screen_; }
  void Present(WindowHandle window, const TBitmap& frame, const std::vector<TRect>& changed) override;
  bool SetShape(WindowHandle window, const std::vector<TRect>* rects) override;
  bool CursorPos(TPoint& screen) override;
  WindowHandle ForegroundWindow() override { return foreground_; }
  WindowHandle WindowFromPoint(TPoint screen) override;
  bool PrimaryButtonDown() override { return (buttons_ & 1) != 0; }
  int64_t NowMs() override { return now_; }
  void WaitEvents(int64_t) override {}
  void ShowMessage(const std::string& title, const std::string& text) override;

 private:
  void SendPointer(PointerAction action, int button);
  WindowHandle TargetWindow() const;
  bool OnVisibleArea(const Window& w, TPoint screen) const;

  TPoint screen_;
  std::map<WindowHandle, Window> windows_;
  WindowHandle next_ = 1;
  WindowHandle foreground_ = 0;
  WindowHandle grab_ = 0;  // window that took the press
  TPoint pointer_{-1, -1};
  unsigned buttons_ = 0;
  bool cursor_ok_ = true;
  std::optional<TRect> cover_;
  int64_t now_ = 1000;
  std::vector<std::string> messages_;
};

}  // namespace portico
