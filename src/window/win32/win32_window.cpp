// Top-level windows: the class, creation, showing, moving, destroying.
#include <algorithm>
#include <utility>

#include "window/win32/win32_backend.h"
#include "system/win32/win32_text.h"

namespace portico {

namespace {
// Window sizes are never zero.
int ClampSize(int v) { return std::clamp(v, 1, 32767); }
}  // namespace

ATOM Win32WindowSystem::WindowClass(const std::string& name) {
  auto it = classes_.find(name);
  if (it != classes_.end()) return it->second;
  const std::wstring wide = Utf8ToWide(name.empty() ? std::string("Portico") : name);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  // No CS_DBLCLKS: a quick second press stays a press. No background
  // brush: WM_PAINT covers everything from the frame copy.
  wc.style = 0;
  wc.lpfnWndProc = &Win32WindowSystem::WindowProc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = nullptr;
  wc.lpszClassName = wide.c_str();
  const ATOM atom = RegisterClassExW(&wc);
  if (atom) classes_[name] = atom;
  return atom;
}

HWND Win32WindowSystem::HiddenOwner() {
  if (hidden_owner_) return hidden_owner_;
  const ATOM atom = WindowClass("Portico");
  if (!atom) return nullptr;
  // Never shown; not one of windows_, so its messages get the defaults.
  hidden_owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, ClassAtom(atom), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance_, this);
  return hidden_owner_;
}

WindowHandle Win32WindowSystem::CreateTopLevel(const TopLevelSpec& spec, int width, int height) {
  const ATOM atom = WindowClass(spec.ClassName);
  if (!atom) return 0;
  width = ClampSize(width);
  height = ClampSize(height);
  const DWORD style = spec.Undecorated ? WS_POPUP : (WS_OVERLAPPEDWINDOW & ~(WS_THICKFRAME | WS_MAXIMIZEBOX));
  // No taskbar button: the window is owned by a hidden tool window, which
  // has none, and so has none itself. A tool window of its own would keep
  // the button away too, but window managers under Wine (openbox) give a
  // tool window no focus when it is shown, and keys would not reach it.
  const DWORD ex_style = 0;
  HWND owner = spec.SkipTaskbar ? HiddenOwner() : nullptr;
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, style, FALSE, ex_style);
  HWND window = CreateWindowExW(ex_style, ClassAtom(atom), Utf8ToWide(spec.Title).c_str(), style, 0, 0,
                                outer.right - outer.left, outer.bottom - outer.top, owner, nullptr, instance_,
                                this);
  if (!window) return 0;
  TopLevel& w = windows_[window];
  w.Width = width;
  w.Height = height;
  return reinterpret_cast<WindowHandle>(window);
}

void Win32WindowSystem::DestroyWindow(WindowHandle handle) {
  HWND window = reinterpret_cast<HWND>(handle);
  if (!Find(window)) return;
  HWND outer = destroying_;
  destroying_ = window;
  ::DestroyWindow(window);
  destroying_ = outer;
  windows_.erase(window);
}

void Win32WindowSystem::ShowWindow(WindowHandle handle, int x, int y, int width, int height) {
  HWND window = reinterpret_cast<HWND>(handle);
  TopLevel* w = Find(window);
  if (!w) return;
  SetWindowBounds(handle, x, y, width, height);
  ::ShowWindow(window, SW_SHOW);
  // A program started by the one in the foreground may take the
  // foreground: the keyboard comes to the window without a click, and
  // the pointer tracking needs it to light controls.
  SetForegroundWindow(window);
  w->Shown = true;
}

void Win32WindowSystem::SetWindowBounds(WindowHandle handle, int x, int y, int width, int height) {
  HWND window = reinterpret_cast<HWND>(handle);
  TopLevel* w = Find(window);
  if (!w) return;
  const bool resized = w->Width != ClampSize(width) || w->Height != ClampSize(height);
  w->Width = ClampSize(width);
  w->Height = ClampSize(height);
  // (x, y) is the client origin; a popup's client area is the whole window.
  RECT outer{x, y, x + w->Width, y + w->Height};
  AdjustWindowRectEx(&outer, DWORD(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // A layered window keeps a picture of its old size until given one of the new.
  if (resized && w->Opacity) ShowBlended(window, *w, nullptr);
}

void Win32WindowSystem::SetAccessibleObjectHook(WindowHandle handle,
                                                std::function<intptr_t(uintptr_t, intptr_t)> hook) {
  if (TopLevel* w = Find(reinterpret_cast<HWND>(handle))) w->AccessibleObject = std::move(hook);
}

}  // namespace portico
