// portico-skin: the skin designer's companion to the launcher.
//
//   portico-skin check [--json] DESCRIPTION.ini
//   portico-skin preview DESCRIPTION.ini [VERSION] [--scale K] -o SHEET.png
//   portico-skin watch DESCRIPTION.ini VERSION
//   portico-skin new WIDTHxHEIGHT [NAME]
//
// check and preview load the skin with the launcher's own code on the
// headless window system; watch runs the real launcher in a window and
// restarts it whenever the skin's files change. Start at commands.h.
#include <cstdio>
#include <string>
#include <vector>

#include "system/tool/console.h"
#include "classlib/params.h"
#include "skintool/commands.h"

int main(int argc, char** argv) {
  using namespace portico;
  // As UTF-8 on every system (Windows gives argv in its ANSI code page).
  LoadSystemCommandLine(argc, argv);
  UseUtf8Console();
  std::vector<std::string> args;
  for (int i = 2; i <= ParamCount(); ++i) args.push_back(ParamStr(i));
  const std::string command = ParamStr(1);
  if (command == "check") return RunCheckCommand(args, &QueryToolScreen);
  if (command == "preview") return RunPreviewCommand(args);
  if (command == "watch") return RunWatchCommand(args);
  if (command == "new") return RunNewCommand(args);
  if (command == "--help" || command == "-h") {
    std::fputs(SkinToolUsage, stdout);
    return 0;
  }
  std::fputs(SkinToolUsage, stderr);
  return 2;
}
