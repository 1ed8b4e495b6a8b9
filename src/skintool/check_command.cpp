#include <cstdio>

#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "skintool/commands.h"
#include "skintool/skin_check.h"

namespace portico {

const char* const CheckHelp =
    "usage: portico-skin check [--json] DESCRIPTION.ini\n"
    "\n"
    "Loads the skin with the launcher's own code and prints what the launcher\n"
    "would do differently from what the skin probably means, one finding a\n"
    "line: FILE:LINE: error|warning|note: MESSAGE [CODE], then a summary\n"
    "line on stderr.\n"
    "\n"
    "  --json   print the findings as a JSON array of objects with the keys\n"
    "           file, line (null for the file as a whole), severity, code\n"
    "           and message, in valid UTF-8\n"
    "\n"
    "Exit status: 0 no findings, 1 warnings only, 2 an error, 64 a usage error.\n";

int RunCheckCommand(const std::vector<std::string>& args, std::optional<TToolScreen> (*screen)()) {
  bool json = false;
  std::string path;
  for (const std::string& a : args) {
    if (a == "--json" && !json) {
      json = true;
    } else if (!a.empty() && a[0] == '-') {
      return UsageError("check", "unknown or repeated option '" + a + "'");
    } else if (path.empty() && !a.empty()) {
      path = a;
    } else {
      return UsageError("check", "expected one DESCRIPTION.ini");
    }
  }
  if (path.empty()) return UsageError("check", "expected one DESCRIPTION.ini");
  const std::optional<TToolScreen> here = screen ? screen() : std::nullopt;
  HeadlessWindowSystem ws;
  TApplication app(ws);
  app.Initialize();
  const std::vector<TFinding> findings = CheckSkin(path, nullptr, here);
  const std::string text =
      json ? FormatFindingsJson(path, findings) : FormatFindingsText(path, findings);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", FindingsSummary(path, findings).c_str());
  return CheckExitStatus(findings);
}

}  // namespace portico
