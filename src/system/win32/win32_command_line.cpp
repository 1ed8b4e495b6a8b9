// The command line on Windows: argv arrives in the ANSI code page, which
// cannot hold every file name, so the wide command line is split again
// with the system's own quoting rules and kept as UTF-8.
#include "system/win32/win32_windows.h"
#include <shellapi.h>

#include <string>
#include <vector>

#include "system/command_line.h"
#include "system/win32/win32_text.h"

namespace portico {

std::vector<std::string> SystemCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) {
    for (int i = 0; argv && i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    return args;
  }
  for (int i = 0; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace portico
