// The Win32 backend's class, shared by its source files: one window class,
// our top-level windows and what each one shows.
#pragma once
#include "system/win32/win32_windows.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/window_system.h"
#include "window/win32/win32_frame_image.h"

namespace portico {

// A registered class named by its atom, for the W calls.
inline LPCWSTR ClassAtom(ATOM atom) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)); }

// Function `name` of a loaded library as type Fn; null when either is missing.
template <class Fn>
Fn LibraryFunction(HMODULE library, const char* name) {
  // Through void(*)(), which the compiler takes as a deliberate cast.
  return library ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name))) : nullptr;
}

// Whether the desktop composites every window, so that a layered window's
// per-pixel opacity blends with what lies beneath (win32_composition.cpp).
bool DesktopComposites();

class Win32WindowSystem final : public WindowSystem {
 public:
  // Registers the window class; null when that fails.
  static std::unique_ptr<Win32WindowSystem> Open();
  ~Win32WindowSystem() override;

  WindowHandle CreateTopLevel(const TopLevelSpec& spec, int width, int height) override;
  void DestroyWindow(WindowHandle window) override;
  void ShowWindow(WindowHandle window, int x, int y, int w, int h) override;
  void SetWindowBounds(WindowHandle window, int x, int y, int w, int h) override;
  TPoint ScreenSize() override;
  TRect PrimaryMonitor() override;
  int ScaleFactor() override;
  void Present(WindowHandle window, const TBitmap& frame, const std::vector<TRect>& changed) override;
  bool SetShape(WindowHandle window, const std::vector<TRect>* rects) override;
  bool Compositing() override;
  bool SetOpacity(WindowHandle window, const TAlphaMap* alpha) override;
  // Portico moves its window itself, as the system's own caption drag would.
  bool BeginWindowManagerMove(WindowHandle, TPoint) override { return false; }
  bool EndWindowManagerMove(WindowHandle) override { return true; }
  bool CursorPos(TPoint& screen) override;
  WindowHandle ForegroundWindow() override;
  WindowHandle WindowFromPoint(TPoint screen) override;
  bool PrimaryButtonDown() override;
  int64_t NowMs() override;
  void WaitEvents(int64_t timeout_ms) override;
  void ShowMessage(const std::string& title, const std::string& text) override;
  void SetAccessibleObjectHook(WindowHandle window,
                               std::function<intptr_t(uintptr_t wparam, intptr_t lparam)> hook) override;

 private:
  struct TopLevel {
    int Width = 1;
    int Height = 1;
    bool Shown = false;
    std::unique_ptr<Win32FrameImage> Image;  // the last frame, for hand-overs and WM_PAINT
    // With SetOpacity's map the window is layered: the system shows
    // Blended, the frame times the opacity, premultiplied, window-sized.
    std::optional<TAlphaMap> Opacity;
    std::unique_ptr<Win32FrameImage> Blended;
    // Answers WM_GETOBJECT (the accessibility service's).
    std::function<intptr_t(uintptr_t, intptr_t)> AccessibleObject;
  };

  explicit Win32WindowSystem(HINSTANCE instance);
  TopLevel* Find(HWND window);

  // --- windows (win32_window.cpp) ---
  // The class atom for a class name, registered on first use; 0 on failure.
  ATOM WindowClass(const std::string& name);
  // The hidden tool window that owns our top-level windows, which keeps
  // them off the taskbar; made on first use, null when that fails.
  HWND HiddenOwner();

  // --- events (win32_events.cpp) ---
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
  // Pointer messages to the sink; false for other messages.
  bool HandlePointer(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
  // Dispatches the messages queued now (a bounded number of them).
  void DrainQueue();

  // --- drawing (win32_present.cpp) ---
  // WM_PAINT: the invalid area from the copy of the last frame.
  void Paint(HWND window, TopLevel& w);

  // --- per-pixel opacity (win32_layered.cpp) ---
  // Blends the `dirty` rectangles (all of it when null, or when the window
  // changed size) into Blended and hands them to the system. False when
  // the system refused: the window is then painted as usual again.
  bool ShowBlended(HWND window, TopLevel& w, const std::vector<TRect>* dirty);
  // Back to a window painted as usual, its picture repainted.
  void LeaveLayered(HWND window, TopLevel& w);

  // --- monitors and scale (win32_monitor.cpp) ---
  // WM_DPICHANGED: the window keeps its size at the origin the system
  // suggests (`suggested`, its outer bounds), and the sink hears of it.
  void DpiChanged(HWND window, int dpi, const RECT& suggested);

  HINSTANCE instance_;
  // Whether the desktop composites windows, asked on first use: only a
  // skin with an opacity image needs to know (win32_composition.cpp).
  std::optional<bool> compositing_;
  std::map<std::string, ATOM> classes_;
  std::map<HWND, TopLevel> windows_;
  HWND hidden_owner_ = nullptr;
  // The window we are destroying ourselves: its WM_DESTROY is no news.
  HWND destroying_ = nullptr;
  // While a pointer message is being dispatched: the primary button as
  // that message left it.
  std::optional<bool> event_button_;
  // ... and the pointer's screen position when that message was sent.
  std::optional<TPoint> event_cursor_;
  // An exception from a handler, carried across the system's dispatch.
  std::exception_ptr pending_;
  LARGE_INTEGER clock_frequency_{};
};

}  // namespace portico
