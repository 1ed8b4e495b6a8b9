// The contract between the class-library layer and a window-system backend
// (X11, headless). A backend reports native events through WindowEvents and
// never calls application code directly.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/types.h"

namespace portico {

// A window handle. 0 is none. Backends hand out their own values; hidden
// utility windows (AllocateHWnd) use values the backends never produce.
using WindowHandle = uintptr_t;

// Leave: the pointer is no longer on the window's visible area, whatever
// coordinates come with it (window systems may report the last ones inside).
enum class PointerAction { Press, Release, Move, Leave };

// --- keys (keyboard navigation) ---
// The keys whose going down and up a backend reports (KeyEvent), with the
// values of the Windows virtual-key codes. Other keys come as text only
// (KeyChar).
enum class VirtualKey : uint16_t {
  Tab = 0x09,
  Return = 0x0D,  // also the keypad's Enter
  Escape = 0x1B,
  Space = 0x20,
  Left = 0x25,
  Up = 0x26,
  Right = 0x27,
  Down = 0x28,
};
enum class KeyAction { Down, Up };
// --- end of keys ---

// What a backend tells the application. Coordinates are the window's
// client coordinates.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void PointerEvent(WindowHandle window, PointerAction action, int button, int x, int y) = 0;
  virtual void KeyChar(WindowHandle window, char key) = 0;
  virtual void CloseRequested(WindowHandle window) = 0;
  // The window is gone without a close request (another program destroyed
  // it); the handle is no longer valid.
  virtual void WindowDestroyed(WindowHandle window) = 0;
  // The window was moved or resized by someone else (the window manager);
  // x, y are its client origin on the screen.
  virtual void WindowMoved(WindowHandle window, int x, int y) = 0;

  // --- keys (keyboard navigation) ---
  // A key of VirtualKey went down or up while the window had the keyboard
  // focus; `shift`: a Shift key was held. A key held down repeats as more
  // Down events without an Up between them. A key that makes text comes
  // as KeyChar too, after its Down (Tab '\t', Return '\r', Escape 27,
  // Space ' '), as the Windows messages come.
  virtual void KeyEvent(WindowHandle /*window*/, KeyAction /*action*/, VirtualKey /*key*/, bool /*shift*/) {}
  // The window got or lost the keyboard focus (FocusIn/FocusOut,
  // WM_ACTIVATE): ForegroundWindow() tells where it is now.
  virtual void KeyboardFocusChanged(WindowHandle /*window*/) {}
  // --- end of keys ---

  // The window moved to a monitor of another scale (Windows' WM_DPICHANGED):
  // `factor` is the new scale factor (see ScaleFactor), `suggested` the
  // window's new bounds on the screen as the system proposes them.
  virtual void ScaleChanged(WindowHandle /*window*/, int /*factor*/, const TRect& /*suggested*/) {}
};

// The whole scale factor of a desktop at `dpi` dots per inch: the nearest
// whole number to dpi / 96 (halves round up), at least 1. 144 gives 2,
// 120 gives 1; a missing or absurd value (0, negative) gives 1.
inline int ScaleFactorForDpi(int dpi) {
  if (dpi <= 0) return 1;
  const int factor = (dpi + 48) / 96;
  return factor < 1 ? 1 : (factor > 8 ? 8 : factor);
}

// Draws the text of a message window that a backend draws itself (X11)
// with the faces the application's own text uses, so that text in any
// script shows as written. The application supplies it
// (WindowSystem::SetMessageTextPainter); `scale` is the scale factor.
class MessageTextPainter {
 public:
  virtual ~MessageTextPainter() = default;
  // The height of a line in pixels; 0 when there is no face to draw with.
  virtual int LineHeight(int scale) = 0;
  // The advance width in pixels of one line of UTF-8 text.
  virtual int LineWidth(const std::string& line, int scale) = 0;
  // Draws one line of UTF-8 text in black, its top-left corner at (x, y),
  // blended over the pixels of `target` and never outside it.
  virtual void DrawLine(TBitmap& target, const std::string& line, int x, int y, int scale) = 0;
};

struct TopLevelSpec {
  std::string Title;       // window title
  std::string ClassName;   // identity for desktop tools (WM_CLASS)
  bool Undecorated = true; // no frame, no caption bar
  bool SkipTaskbar = true; // no taskbar or pager entry
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  void SetSink(WindowEvents* sink) { sink_ = sink; }

  // Top-level windows. Created hidden.
  virtual WindowHandle CreateTopLevel(const TopLevelSpec& spec, int width, int height) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  // Maps the window with its client area at (x, y), size w x h.
  virtual void ShowWindow(WindowHandle window, int x, int y, int w, int h) = 0;
  // ShowWindow ahead of time, while the first frame is still being drawn,
  // where the window system can start showing the window without anything
  // of it reaching the screen before that frame is handed over (after
  // ShowWindow). Elsewhere nothing happens and ShowWindow does it all.
  virtual void ShowWindowAhead(WindowHandle, int /*x*/, int /*y*/, int /*w*/, int /*h*/) {}
  virtual void SetWindowBounds(WindowHandle window, int x, int y, int w, int h) = 0;
  // The screen's size in pixels.
  virtual TPoint ScreenSize() = 0;
  // The primary monitor in screen coordinates, where a new window is
  // centred: X11 the primary monitor of RandR 1.5 (else its first one),
  // else Xinerama's first head, else the whole screen; Windows the
  // primary monitor.
  virtual TRect PrimaryMonitor() {
    const TPoint size = ScreenSize();
    return TRect{0, 0, size.X, size.Y};
  }
  // The desktop's scale factor (ScaleFactorForDpi): X11 from Xft.dpi in
  // the root window's resources, read once; Windows the DPI of the
  // primary monitor (per-monitor aware). 1 where nothing says otherwise.
  virtual int ScaleFactor() { return 1; }

  // Shows `frame` in the window. `changed` lists the rectangles that differ
  // from the previous hand-over (the whole frame the first time); the
  // backend keeps what it needs to repaint exposed areas by itself.
  virtual void Present(WindowHandle window, const TBitmap& frame, const std::vector<TRect>& changed) = 0;

  // Cuts the window to the union of `rects` (window coordinates); null
  // gives back the plain rectangle. Returns false when the window system
  // did not take the shape.
  virtual bool SetShape(WindowHandle window, const std::vector<TRect>* rects) = 0;

  // Whether a compositing manager draws the windows, so that per-pixel
  // opacity shows on screen. Decided once, when the window system opens.
  virtual bool Compositing() = 0;
  // The window's opacity for every frame handed over from now on (0
  // transparent ... 255 opaque per pixel, in window coordinates; a frame
  // the map does not cover is shown opaque); null: opaque where the shape
  // keeps, transparent where it cuts away. False (and nothing kept) when
  // the window system does not composite.
  virtual bool SetOpacity(WindowHandle window, const TAlphaMap* alpha) = 0;

  // Hands a window move that a press of the primary button on the window
  // started to the window manager (the press at screen point `press`).
  // False when the window manager does not offer it: the caller moves the
  // window itself.
  virtual bool BeginWindowManagerMove(WindowHandle window, TPoint press) = 0;
  // The button that drove a handed-over move is up. True when the window
  // manager saw it go up and placed the window; false when it never did
  // (the release came before it took the pointer): its move is cancelled
  // and the caller puts the window where the pointer took it.
  virtual bool EndWindowManagerMove(WindowHandle window) = 0;

  // Pointer and focus, read at the moment of the call. The pointer's
  // screen position: while a pointer event is dispatched, where that event
  // happened (a drag must not lose the travel between a queued event and
  // its handling); at any other time (timers), the live position.
  virtual bool CursorPos(TPoint& screen) = 0;
  virtual WindowHandle ForegroundWindow() = 0;
  // The top-level window under a screen point, as seen by the user: one of
  // ours when the point is on its visible (shaped) area, something else
  // (never 0 for ours) when another window or the desktop is there.
  virtual WindowHandle WindowFromPoint(TPoint screen) = 0;
  // The primary button (the right one when the user swapped them): while
  // a pointer event is dispatched, its state as that event left it; at any
  // other time (timers), its live state.
  virtual bool PrimaryButtonDown() = 0;

  // Monotonic clock in milliseconds.
  virtual int64_t NowMs() = 0;
  // Waits up to timeout_ms (-1: without limit) for native events and
  // dispatches what arrived to the sink. Returns early on any event.
  virtual void WaitEvents(int64_t timeout_ms) = 0;

  // A modal message window (title, text, an OK button); returns when the
  // user dismissed it.
  virtual void ShowMessage(const std::string& title, const std::string& text) = 0;

  // --- accessibility objects (Windows) ---
  // Screen readers ask a window for its accessible object with a message of
  // their own (WM_GETOBJECT on Windows). `hook` answers it: it gets the
  // message's parameters and returns its result, 0 to leave the system's
  // answer. An empty hook removes it. Window systems without such a message
  // ignore it.
  virtual void SetAccessibleObjectHook(WindowHandle /*window*/,
                                       std::function<intptr_t(uintptr_t wparam, intptr_t lparam)> /*hook*/) {}

  // --- extra descriptors and the accessibility bus (AT-SPI on Linux) ---
  // What a watched descriptor is ready for (bits of `ready` below).
  enum DescriptorReady : unsigned { DescriptorReadable = 1, DescriptorWritable = 2, DescriptorFailed = 4 };
  // Has WaitEvents wait on descriptor `fd` too, with its own connection:
  // `ready` runs from within WaitEvents when the descriptor is readable or
  // writable as asked, or failed (hung up, error). Returns an id for
  // UnwatchDescriptor; 0 when this window system cannot watch descriptors.
  virtual int WatchDescriptor(int /*fd*/, bool /*readable*/, bool /*writable*/,
                              std::function<void(unsigned ready)> /*ready*/) {
    return 0;
  }
  // Stops a watch (also from within its own `ready`).
  virtual void UnwatchDescriptor(int /*id*/) {}
  // The accessibility bus the desktop announces through the window system
  // (the AT_SPI_BUS property of the X root window); empty for none.
  virtual std::string AccessibilityBusAddress() { return {}; }

  // --- message text ---
  // What ShowMessage draws its text with where the backend draws the
  // message window itself; kept by the caller while set. Null (the
  // default): the backend's own font.
  void SetMessageTextPainter(MessageTextPainter* painter) { message_text_ = painter; }

 protected:
  WindowEvents* sink_ = nullptr;
  MessageTextPainter* message_text_ = nullptr;
};

}  // namespace portico
