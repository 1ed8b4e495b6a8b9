// Pointer and focus queries, read from the system at the moment of the call.
#include "window/win32/win32_backend.h"

namespace portico {

bool Win32WindowSystem::CursorPos(TPoint& screen) {
  if (event_cursor_) {
    screen = *event_cursor_;
    return true;
  }
  POINT p{};
  if (!GetCursorPos(&p)) return false;
  screen = TPoint{p.x, p.y};
  return true;
}

bool Win32WindowSystem::PrimaryButtonDown() {
  if (event_button_) return *event_button_;
  // GetAsyncKeyState reads the physical buttons: the primary one is the
  // right one when the user swapped them.
  const int key = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  return (GetAsyncKeyState(key) & 0x8000) != 0;
}

WindowHandle Win32WindowSystem::ForegroundWindow() {
  return reinterpret_cast<WindowHandle>(GetForegroundWindow());
}

WindowHandle Win32WindowSystem::WindowFromPoint(TPoint screen) {
  // The system leaves out the cut-away parts of shaped windows; a child
  // window counts as its top-level window.
  HWND hit = ::WindowFromPoint(POINT{screen.X, screen.Y});
  HWND top = hit ? GetAncestor(hit, GA_ROOT) : nullptr;
  if (!top) top = GetDesktopWindow();
  return reinterpret_cast<WindowHandle>(top);
}

}  // namespace portico
