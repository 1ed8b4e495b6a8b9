// Handing a target to the shell on Windows: ShellExecuteW with "open",
// the way Explorer opens a document or an address. No command line is
// built, so nothing in the target is read as a shell argument.
#include "system/win32/win32_windows.h"
#include <objbase.h>
#include <shellapi.h>

#include <cstdint>

#include "system/launch.h"
#include "system/win32/win32_text.h"

namespace portico {

bool OpenWithDesktop(const std::string& target) {
  const std::wstring wide = Utf8ToWide(target);
  if (wide.empty()) return false;
  // The shell may start COM servers for some targets; a second
  // CoInitializeEx on this thread is harmless.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // Values above 32 mean success.
  return reinterpret_cast<intptr_t>(result) > 32;
}

}  // namespace portico
