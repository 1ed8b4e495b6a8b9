// The command line, stored once at start-up and read anywhere later.
#include "classlib/params.h"
#include "system/command_line.h"

#include <utility>

namespace portico {
namespace {

// The stored arguments, program name first.
std::vector<std::string>& Arguments() {
  static std::vector<std::string> args;
  return args;
}

}  // namespace

void SetCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; argv && i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  SetCommandLine(std::move(args));
}

void LoadSystemCommandLine(int argc, const char* const* argv) { SetCommandLine(SystemCommandLine(argc, argv)); }

void SetCommandLine(std::vector<std::string> args) { Arguments() = std::move(args); }

int ParamCount() {
  const auto& args = Arguments();
  return args.empty() ? 0 : static_cast<int>(args.size()) - 1;
}

std::string ParamStr(int i) {
  const auto& args = Arguments();
  if (i < 0 || static_cast<size_t>(i) >= args.size()) return {};
  return args[static_cast<size_t>(i)];
}

}  // namespace portico
