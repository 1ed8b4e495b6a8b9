// The primary monitor and the desktop's scale. The launcher is per-monitor
// DPI aware (its manifest says so): it gets real pixels and the monitor's
// real DPI, and WM_DPICHANGED when its window reaches a monitor of another.
#include "window/win32/win32_backend.h"

namespace portico {

namespace {
// Dots per inch of 100 %: what every monitor has where none can be asked.
constexpr UINT DefaultDpi = 96;

HMONITOR PrimaryMonitorHandle() { return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY); }

// The primary monitor's DPI: GetDpiForMonitor (shcore, Windows 8.1 on),
// else GetDpiForSystem (Windows 10 on), else 96. Both are looked up, so
// that the program still starts on older systems.
UINT PrimaryMonitorDpi() {
  using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  constexpr int EffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  // shell32 has shcore loaded already where it exists.
  if (HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    auto dpi_for_monitor = LibraryFunction<DpiForMonitorFn>(shcore, "GetDpiForMonitor");
    UINT x = 0, y = 0;
    const bool found = dpi_for_monitor && SUCCEEDED(dpi_for_monitor(PrimaryMonitorHandle(), EffectiveDpi, &x, &y));
    FreeLibrary(shcore);
    if (found && y > 0) return y;
  }
  using DpiForSystemFn = UINT(WINAPI*)();
  auto dpi_for_system = LibraryFunction<DpiForSystemFn>(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem");
  const UINT dpi = dpi_for_system ? dpi_for_system() : 0;
  return dpi > 0 ? dpi : DefaultDpi;
}
}  // namespace

TRect Win32WindowSystem::PrimaryMonitor() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(PrimaryMonitorHandle(), &info)) return WindowSystem::PrimaryMonitor();
  const RECT& r = info.rcMonitor;
  return TRect{r.left, r.top, r.right, r.bottom};
}

int Win32WindowSystem::ScaleFactor() { return ScaleFactorForDpi(int(PrimaryMonitorDpi())); }

void Win32WindowSystem::DpiChanged(HWND window, int dpi, const RECT& suggested) {
  // The system's bounds are the outer ones, scaled for the new DPI; ours
  // are the client area's.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  const TRect client{suggested.left - frame.left, suggested.top - frame.top, suggested.right - frame.right,
                     suggested.bottom - frame.bottom};
  // Until the application draws at the new scale its frame fits the old
  // size: the window takes the suggested place at that size.
  SetWindowPos(window, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (sink_) sink_->ScaleChanged(reinterpret_cast<WindowHandle>(window), ScaleFactorForDpi(dpi), client);
}

}  // namespace portico
