#include <cstdio>

#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "skintool/commands.h"
#include "skintool/skin_check.h"

namespace portico {

const char* const SkinToolUsage =
    "usage: portico-skin check [--json] DESCRIPTION.ini\n"
    "       portico-skin preview DESCRIPTION.ini [VERSION] [--scale K] -o SHEET.png\n"
    "       portico-skin watch DESCRIPTION.ini VERSION [--launcher PATH]\n"
    "       portico-skin new WIDTHxHEIGHT [NAME]\n";

int RunCheckCommand(const std::vector<std::string>& args, std::optional<TToolScreen> (*screen)()) {
  bool json = false;
  std::string path;
  for (const std::string& a : args) {
    if (a == "--json" && !json) {
      json = true;
    } else if (path.empty() && !a.empty() && a[0] != '-') {
      path = a;
    } else {
      std::fputs(SkinToolUsage, stderr);
      return 2;
    }
  }
  if (path.empty()) {
    std::fputs(SkinToolUsage, stderr);
    return 2;
  }
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
