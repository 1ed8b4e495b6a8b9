// The command line on Windows: argv arrives in the ANSI code page, which
// cannot hold every file name, so the wide command line is split again
// with the system's own quoting rules and kept as UTF-8.
#include "platform/win32/win32_windows.h"
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/params.h"
#include "platform/win32/win32_text.h"

namespace portico {

void LoadSystemCommandLine(int argc, const char* const* argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) {
    SetCommandLine(argc, argv);
    return;
  }
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  SetCommandLine(std::move(args));
}

}  // namespace portico
