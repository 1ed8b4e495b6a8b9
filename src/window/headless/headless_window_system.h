// An in-memory window system for tests: windows in stacking order, a pointer
// with buttons, a foreground window, a window manager and a clock, all
// driven by the test. It behaves like the X11 one where the application can
// tell: moves are reported back late, showing grants no focus by itself, and
// waiting for events lets the clock run to the next timer or scheduled input.
// The window manager's part lives in headless_window_manager.cpp.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include "window/descriptor_watches.h"
#endif
#include "window/window_system.h"

namespace portico {

class HeadlessWindowSystem : public WindowSystem {
 public:
  struct Window {
    TopLevelSpec Spec;
    TRect Bounds;  // client area on the screen
    bool Visible = false;
    std::optional<std::vector<TRect>> Shape;  // none: rectangular
    std::optional<TAlphaMap> Opacity;         // set through SetOpacity
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
  // Text typed into the foreground window (KeyChar alone).
  void PressKey(char key);
  // A key of VirtualKey goes down or up in the foreground window, as the
  // X11 and Win32 backends report it: the Down, then the text the key
  // makes (Tab, Return, Escape, Space), or the Up. KeyDown again without
  // KeyUp is the key repeating.
  void KeyDown(VirtualKey key, bool shift = false);
  void KeyUp(VirtualKey key, bool shift = false);
  // KeyDown, then KeyUp.
  void TypeKey(VirtualKey key, bool shift = false);
  void RequestClose(WindowHandle window);
  // Another program destroys the window (it vanishes, then the owner hears).
  void DestroyFromOutside(WindowHandle window);
  // Gives the foreground (the keyboard focus) to a window; ours hear that
  // the keyboard focus moved, the one losing it and the one gaining it.
  void SetForeground(WindowHandle window);
  // Whether showing a window also makes it the foreground window (a window
  // manager that grants the focus it is asked for). Off by default.
  void SetFocusOnShow(bool on) { focus_on_show_ = on; }
  // The window manager (or the user through it) moves the window.
  void MoveFromOutside(WindowHandle window, int x, int y);
  // Brings one of our windows to the top of the stacking order.
  void Raise(WindowHandle window);
  // Another top-level window covering this screen rectangle (above ours).
  void SetCoveringWindow(std::optional<TRect> r) { cover_ = r; }
  void SetCursorReadable(bool ok) { cursor_ok_ = ok; }
  // A compositing manager runs: SetOpacity is taken.
  void SetCompositing(bool on) { compositing_ = on; }
  // The window manager takes the moves handed to it: the window follows
  // the pointer while the primary button is held, and the window gets no
  // pointer event until the release, which the window manager keeps.
  void SetWindowManagerMoves(bool on) { wm_moves_ = on; }
  // The window manager, a program of its own, gets to a move handed to it
  // only once the application waits for events again, and takes the
  // pointer then only if the button is still down. Until then the pointer's
  // events reach the window as usual; a release among them is one the
  // window manager never sees (a very quick click or drag). Off: it takes
  // the pointer at once.
  void SetWindowManagerLate(bool late) { wm_late_ = late; }
  // The window manager keeps every window the program shows or moves wholly
  // on the screen, and reports where it put it, not where it was asked to.
  void SetKeepWindowsOnScreen(bool on) { keep_on_screen_ = on; }
  // The monitors' layout and the desktop's scale, as a test sets them up.
  // Without a primary monitor the whole screen is the one.
  void SetPrimaryMonitor(const TRect& monitor) { primary_ = monitor; }
  void SetScaleFactor(int factor) { scale_ = factor; }
  // Moves the window to a monitor of another scale: the application hears
  // ScaleChanged with the bounds the system suggests.
  void ChangeScale(WindowHandle window, int factor, const TRect& suggested) {
    scale_ = factor;
    if (sink_) sink_->ScaleChanged(window, factor, suggested);
  }
  // Another program holds the pointer (an active grab): no pointer input
  // reaches our windows, and a press focuses none of them, until it lets
  // go. Its start and end report nothing, as the X11 backend drops the
  // crossings a grab causes (NotifyGrab, NotifyUngrab); queries answer live.
  void SetPointerGrabbedElsewhere(bool on) { grabbed_elsewhere_ = on; }
  // The window system says the pointer left the window but moves the
  // pointer nowhere (XWayland's leave with the last coordinates inside).
  void ReportLeave(WindowHandle window);
  // Advances the clock; the caller then lets the application fire timers.
  void Advance(int64_t ms) { now_ += ms; }
  // Runs `input` (pointer, keys, anything the test does) from WaitEvents
  // once the clock reaches at_ms; the clock jumps there when nothing comes
  // first. Inputs at the same time run in the order they were scheduled.
  void Schedule(int64_t at_ms, std::function<void()> input);
  // Every window move (show, SetWindowBounds) is reported back through
  // WindowMoved like X reports it: late. WaitEvents delivers every report
  // queued; this delivers the oldest one now. False when none is queued.
  bool DeliverMoveReport();
  size_t QueuedMoveReports() const { return move_reports_.size(); }
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
  TRect PrimaryMonitor() override {
    return primary_ ? *primary_ : TRect{0, 0, screen_.X, screen_.Y};
  }
  int ScaleFactor() override { return scale_; }
  void Present(WindowHandle window, const TBitmap& frame, const std::vector<TRect>& changed) override;
  bool SetShape(WindowHandle window, const std::vector<TRect>* rects) override;
  bool Compositing() override { return compositing_; }
  bool SetOpacity(WindowHandle window, const TAlphaMap* alpha) override;
  bool BeginWindowManagerMove(WindowHandle window, TPoint press) override;
  // True when the window's handed-over move ended with a release the window
  // manager saw. Otherwise false, and a move not yet taken or still running
  // is cancelled; false too for a window with no move handed over, whose
  // release no window manager saw.
  bool EndWindowManagerMove(WindowHandle window) override;
  bool CursorPos(TPoint& screen) override;
  WindowHandle ForegroundWindow() override { return foreground_; }
  WindowHandle WindowFromPoint(TPoint screen) override;
  bool PrimaryButtonDown() override { return (buttons_ & 1) != 0; }
  int64_t NowMs() override { return now_; }
  // Lets the window manager read a move handed to it; then delivers the
  // queued move reports, else runs the next scheduled input due within the
  // timeout, else lets the timeout pass on the clock.
  // Waiting without limit for nothing is a test that forgot to end its
  // session: that raises std::logic_error instead of hanging.
  void WaitEvents(int64_t timeout_ms) override;
  void ShowMessage(const std::string& title, const std::string& text) override;
  // Watched descriptors are real ones: WaitEvents looks at them without
  // waiting (the clock is the test's) and runs those that are ready. Not
  // on Windows, where nothing watches descriptors.
  int WatchDescriptor(int fd, bool readable, bool writable, std::function<void(unsigned ready)> ready) override;
  void UnwatchDescriptor(int id) override;

 private:
  struct MoveReport {
    WindowHandle Window;
    TPoint Position;
  };
  struct Input {
    int64_t At;
    std::function<void()> Run;
  };
  void SendPointer(PointerAction action, int button);
  // Our topmost visible window at a screen point, or 0.
  WindowHandle OursAt(TPoint screen) const;
  WindowHandle TargetWindow() const;
  bool OnVisibleArea(const Window& w, TPoint screen) const;
  void ReportMove(WindowHandle window, int x, int y);
  // --- the window manager (headless_window_manager.cpp) ---
  // Where it puts a window of size w x h the program asked to have at (x, y).
  TPoint Placement(int x, int y, int w, int h) const;
  // It reads the move handed to it, if any.
  void ReadMoveRequest();
  // While it runs a move it holds the pointer: it moves the window and
  // keeps the events, the primary button's release ending the move. True
  // when it took this one.
  bool WindowManagerTakes(PointerAction action, int button);

  TPoint screen_;
  std::map<WindowHandle, Window> windows_;
  std::vector<WindowHandle> stack_;  // shown windows, bottom first
  WindowHandle next_ = 1;
  WindowHandle foreground_ = 0;
  WindowHandle grab_ = 0;  // window that took the press
  bool focus_on_show_ = false;
  TPoint pointer_{-1, -1};
  unsigned buttons_ = 0;
  bool cursor_ok_ = true;
  std::optional<TRect> cover_;
  bool compositing_ = false;
  bool wm_moves_ = false;
  bool wm_late_ = false;
  bool keep_on_screen_ = false;
  std::optional<TRect> primary_;
  int scale_ = 1;
  bool grabbed_elsewhere_ = false;
  // A move handed to the window manager.
  struct WmMove {
    WindowHandle Window = 0;
    TPoint Press, Origin;      // where the press was and where the window was then
    bool Read = false;         // the window manager has read the request
    bool Taken = false;        // ... and holds the pointer for it
    bool ReleaseSeen = false;  // it saw the release, which ended the move
  };
  std::optional<WmMove> wm_move_;
  int64_t now_ = 1000;
  std::deque<MoveReport> move_reports_;
  std::deque<Input> inputs_;  // by time
  // --- watched descriptors (headless_descriptors.cpp) ---
  // Runs the watches whose descriptors are ready now; false when none was.
  bool RunReadyDescriptors();
#if !defined(_WIN32)
  TDescriptorWatches descriptor_watches_;
#endif
  std::vector<std::string> messages_;
};

}  // namespace portico
