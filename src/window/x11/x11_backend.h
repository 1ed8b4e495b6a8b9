// The X11 backend's class, shared by its source files: one display
// connection, our top-level windows and what each one shows.
#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/descriptor_watches.h"
#include "window/window_system.h"
#include "window/x11/x11_atoms.h"
#include "window/x11/x11_frame_image.h"
#include "window/x11/x11_pixel_format.h"

namespace portico {

// The pointer as one event left it: the primary button and the screen position.
struct X11PointerState {
  bool PrimaryDown = false;
  TPoint Root;
};

class X11WindowSystem final : public WindowSystem {
 public:
  // Connects to $DISPLAY; null when that fails.
  static std::unique_ptr<X11WindowSystem> Open();
  ~X11WindowSystem() override;

  WindowHandle CreateTopLevel(const TopLevelSpec& spec, int width, int height) override;
  void DestroyWindow(WindowHandle window) override;
  void ShowWindow(WindowHandle window, int x, int y, int w, int h) override;
  void ShowWindowAhead(WindowHandle window, int x, int y, int w, int h) override;
  void SetWindowBounds(WindowHandle window, int x, int y, int w, int h) override;
  TPoint ScreenSize() override;
  TRect PrimaryMonitor() override;
  int ScaleFactor() override;
  void Present(WindowHandle window, const TBitmap& frame, const std::vector<TRect>& changed) override;
  bool SetShape(WindowHandle window, const std::vector<TRect>* rects) override;
  bool Compositing() override { return compositing_; }
  bool SetOpacity(WindowHandle window, const TAlphaMap* alpha) override;
  bool BeginWindowManagerMove(WindowHandle window, TPoint press) override;
  bool EndWindowManagerMove(WindowHandle window) override;
  bool CursorPos(TPoint& screen) override;
  WindowHandle ForegroundWindow() override;
  WindowHandle WindowFromPoint(TPoint screen) override;
  bool PrimaryButtonDown() override;
  int64_t NowMs() override;
  void WaitEvents(int64_t timeout_ms) override;
  void ShowMessage(const std::string& title, const std::string& text) override;
  int WatchDescriptor(int fd, bool readable, bool writable, std::function<void(unsigned ready)> ready) override;
  void UnwatchDescriptor(int id) override;
  std::string AccessibilityBusAddress() override;

 private:
  struct TopLevel {
    int Width = 1;
    int Height = 1;
    bool Mapped = false;
    // Asked to map; the wait for the map and the focus comes with the
    // first frame (or whatever next needs the window shown).
    bool ShowPending = false;
    GC Gc = nullptr;
    std::unique_ptr<X11FrameImage> Image;       // the last frame, for hand-overs and exposes
    bool WholeFrameDue = false;                 // Image is new: the next hand-over sends all
    std::optional<std::vector<TRect>> Shape;    // none: rectangular
    // Per-pixel opacity on a compositing display: the one the owner set,
    // else 255 where the shape keeps and 0 where it cuts away (made at the
    // frame's size when a frame is handed over); none: opaque.
    std::optional<TAlphaMap> Opacity;
    bool OwnOpacity = false;  // Opacity was set by the owner, not made from the shape
    // A press that landed on a cut-away part: this and the pointer events
    // up to its release are not ours.
    bool ForeignPress = false;
  };

  explicit X11WindowSystem(Display* display);
  bool Initialize();
  bool ChooseVisual();
  TopLevel* Find(Window window);

  // --- windows (x11_window.cpp) ---
  // Sets the identity properties every top-level of ours carries.
  void SetIdentity(Window window, const std::string& title, const std::string& class_name,
                   Atom window_type);
  // Fixes the window's size and asks for its client area at (x, y).
  void SetSizeHints(Window window, int x, int y, int w, int h);
  // Maps the window raised and waits a bounded time for it to appear.
  bool MapAndWait(Window window);
  // The rest of ShowWindow, done when the window must be there: waits for
  // the map it asked for (false when none was pending), then asks for the
  // focus and waits for it a little.
  bool FinishMap(Window window, TopLevel& w);
  void FocusNewWindow(Window window);
  void FinishShow(Window window, TopLevel& w);
  void FinishPendingShows();
  // Waits up to timeout_ms for an event of `type` on `window` and takes it
  // from the queue; other events stay queued.
  bool WaitForEvent(Window window, int type, int64_t timeout_ms);
  // Asks the window manager (and the server) to give the window the focus.
  void RequestFocus(Window window);
  bool WmSupports(Atom feature);

  // --- events (x11_events.cpp) ---
  // Handles the events queued at the moment of the call.
  void DrainQueue();
  void Dispatch(XEvent& event);
  // Key presses and releases: the contract's keys, then the text.
  void HandleKey(XEvent& event, WindowHandle handle);
  // Expose, map state and moves of our windows; false for other events.
  bool HandleWindowState(XEvent& event);
  // Repaints a rectangle of a window from its copy of the last frame.
  void Repaint(Window window, TopLevel& w, TRect area);
  // Waits until the connection or a watched descriptor has data or
  // timeout_ms (-1: no limit) ran out; runs the watches that are ready.
  void PollConnection(int64_t timeout_ms);
  TDescriptorWatches descriptor_watches_;

  // --- pointer and focus (x11_pointer.cpp) ---
  // The child of the root that holds `window` (itself when unparented).
  Window TopLevelAncestor(Window window);
  // Whether screen point p is on the visible area of our window.
  enum class Hit { Shape, CutAway, Outside };
  Hit HitOurWindow(Window window, const TopLevel& w, TPoint p);
  bool InBoundingShape(Window window, int x, int y);
  // Opacity 255 inside the shape, 0 outside, for a width x height frame.
  static TAlphaMap OpacityFromShape(const std::vector<TRect>& shape, int width, int height);
  // Whether the window-relative point lies on a cut-away part of our window.
  static bool OnCutAway(const TopLevel& w, int x, int y);
  // Filters pointer events that land on cut-away parts (see x11_events.cpp);
  // true when the event is handled.
  bool HandleCutAwayPointer(XEvent& event, TopLevel& w);

  // --- the desktop (x11_desktop.cpp), each asked for once ---
  std::optional<TRect> primary_monitor_;
  int scale_factor_ = 0;  // 0: not read yet

  // --- window moves by the window manager (x11_window_move.cpp) ---
  void SendMoveResize(Window window, TPoint root, long direction);
  // Whether another client holds an active grab of the pointer.
  bool PointerGrabbedElsewhere();
  // The handed-over move of this window whose release reached us.
  Window wm_move_window_ = None;
  bool wm_move_release_seen_ = false;

  Display* display_;
  int screen_ = 0;
  Window root_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  Colormap colormap_ = 0;
  bool own_colormap_ = false;
  X11PixelFormat format_;
  X11Atoms atoms_;
  bool has_shape_ = false;
  bool has_input_shape_ = false;
  bool use_shm_ = false;
  // Asked for on the first key, so it costs the first frame nothing.
  bool detectable_repeat_asked_ = false;
  // A compositing manager owned _NET_WM_CM_S<screen> at start-up and a
  // 32-bit visual with alpha was found: our windows use it.
  bool compositing_ = false;
  // The server is XWayland: a compositor shows our windows however they
  // are drawn.
  bool rootless_ = false;
  int (*previous_error_handler_)(Display*, XErrorEvent*) = nullptr;
  std::map<Window, TopLevel> windows_;
  // While a pointer event is being dispatched: the primary button as that
  // event left it and the pointer's screen position at the event. Handlers
  // see the state of the event they handle, not a later one: a window
  // manager's click-to-focus grab can hold a press back until the release
  // has already happened, and a drag that started from the pointer's later
  // position would lose the travel in between.
  std::optional<X11PointerState> event_pointer_;
};

}  // namespace portico
