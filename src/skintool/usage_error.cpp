#include <cstdio>

#include "skintool/commands.h"

namespace portico {

int UsageError(const std::string& command, const std::string& why) {
  const std::string where = command.empty() ? "portico-skin" : "portico-skin " + command;
  std::fprintf(stderr, "%s: %s (see '%s --help')\n", where.c_str(), why.c_str(), where.c_str());
  return UsageExitCode;
}

}  // namespace portico
