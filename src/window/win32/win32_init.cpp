// The backend's start and end, the screen and the clock.
#include <cstdio>

#include "window/native_window_system.h"
#include "window/win32/win32_backend.h"
#include "window/win32/win32_window_system.h"

namespace portico {

std::unique_ptr<WindowSystem> CreateWin32WindowSystem() { return Win32WindowSystem::Open(); }

std::unique_ptr<WindowSystem> CreateNativeWindowSystem(bool say_why) {
  std::unique_ptr<WindowSystem> ws = CreateWin32WindowSystem();
  if (!ws && say_why) std::fprintf(stderr, "portico: cannot register the window class\n");
  return ws;
}

std::unique_ptr<Win32WindowSystem> Win32WindowSystem::Open() {
  std::unique_ptr<Win32WindowSystem> ws(new Win32WindowSystem(GetModuleHandleW(nullptr)));
  if (!ws->WindowClass("Portico")) return nullptr;
  return ws;
}

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance) : instance_(instance) {
  QueryPerformanceFrequency(&clock_frequency_);
}

Win32WindowSystem::~Win32WindowSystem() {
  while (!windows_.empty()) DestroyWindow(reinterpret_cast<WindowHandle>(windows_.begin()->first));
  if (hidden_owner_) ::DestroyWindow(hidden_owner_);
  for (const auto& [name, atom] : classes_) UnregisterClassW(ClassAtom(atom), instance_);
}

Win32WindowSystem::TopLevel* Win32WindowSystem::Find(HWND window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

TPoint Win32WindowSystem::ScreenSize() {
  return TPoint{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int64_t Win32WindowSystem::NowMs() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const int64_t frequency = clock_frequency_.QuadPart > 0 ? clock_frequency_.QuadPart : 1000;
  // Seconds and remainder apart, so that the product cannot overflow.
  return now.QuadPart / frequency * 1000 + now.QuadPart % frequency * 1000 / frequency;
}

}  // namespace portico
