// The console on Windows shows the bytes written to it in its own code page
// (an OEM one such as 437 or 866), not as UTF-8. It is switched to UTF-8
// while the program runs and put back when it ends, by returning, by
// Ctrl+C or by the console closing; the code page belongs to the console,
// which the shell that started us goes on using.
#include "system/win32/win32_windows.h"

#include <cstdlib>

#include "system/tool/console.h"

namespace portico {

namespace {
UINT saved_code_page = 0;

void RestoreCodePage() {
  if (saved_code_page) SetConsoleOutputCP(saved_code_page);
}

BOOL WINAPI OnConsoleEnd(DWORD) {
  RestoreCodePage();
  return FALSE;  // the system's own handling ends the program
}
}  // namespace

void UseUtf8Console() {
  const UINT current = GetConsoleOutputCP();
  // 0: no console (output goes to a file or a pipe as it is).
  if (current == 0 || current == CP_UTF8 || saved_code_page || !SetConsoleOutputCP(CP_UTF8))
    return;
  saved_code_page = current;
  std::atexit(RestoreCodePage);
  SetConsoleCtrlHandler(OnConsoleEnd, TRUE);
}

}  // namespace portico
