// Whether windows are composited. The Desktop Window Manager composites
// every window on Windows 8 and later (it cannot be turned off there); on
// Vista and 7 it can be off (the Basic theme, remote sessions), so it is
// asked; before Vista nothing composites.
#include "window/win32/win32_backend.h"

namespace portico {

namespace {
struct WindowsVersion {
  DWORD Major = 0;
  DWORD Minor = 0;
};

// The system's own version: GetVersionEx answers what the manifest lets
// it, RtlGetVersion always the truth. ntdll is in every process.
WindowsVersion RunningVersion() {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto get = LibraryFunction<RtlGetVersionFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!get || get(&info) != 0) return {};
  return {info.dwMajorVersion, info.dwMinorVersion};
}

bool AtLeast(const WindowsVersion& v, DWORD major, DWORD minor) {
  return v.Major > major || (v.Major == major && v.Minor >= minor);
}

// DwmIsCompositionEnabled, from dwmapi.dll loaded for the question (the
// launcher needs nothing else of it); false when it cannot be asked.
bool DwmSaysComposited() {
  HMODULE dwmapi = LoadLibraryW(L"dwmapi.dll");
  if (!dwmapi) return false;
  using IsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
  auto ask = LibraryFunction<IsCompositionEnabledFn>(dwmapi, "DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  const bool composited = ask && SUCCEEDED(ask(&enabled)) && enabled;
  FreeLibrary(dwmapi);
  return composited;
}
}  // namespace

bool Win32WindowSystem::Compositing() {
  if (!compositing_) compositing_ = DesktopComposites();
  return *compositing_;
}

bool DesktopComposites() {
  const WindowsVersion version = RunningVersion();
  // Windows 8 and later: always, without loading a library for it.
  if (AtLeast(version, 6, 2)) return true;
  return AtLeast(version, 6, 0) && DwmSaysComposited();
}

}  // namespace portico
