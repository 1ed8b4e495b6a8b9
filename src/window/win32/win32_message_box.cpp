// The error message: the system's own message box, modal, with an OK button.
#include "window/win32/win32_backend.h"
#include "system/win32/win32_text.h"

namespace portico {

namespace {
// A longer text is cut before it is shown.
constexpr size_t MaxTextBytes = 16384;
}  // namespace

void Win32WindowSystem::ShowMessage(const std::string& title, const std::string& text) {
  // Owned by our shown window, which takes no input meanwhile; without one
  // the box disables every window of this thread instead.
  HWND owner = nullptr;
  for (const auto& [window, w] : windows_)
    if (w.Shown) {
      owner = window;
      break;
    }
  const UINT type = MB_OK | MB_ICONERROR | MB_SETFOREGROUND | (owner ? 0 : MB_TASKMODAL);
  MessageBoxW(owner, Utf8ToWide(text.substr(0, MaxTextBytes)).c_str(), Utf8ToWide(title).c_str(), type);
}

}  // namespace portico
