// The command line on POSIX systems: argv is the system's own UTF-8.
#include "system/command_line.h"

namespace portico {

std::vector<std::string> SystemCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; argv && i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  return args;
}

}  // namespace portico
