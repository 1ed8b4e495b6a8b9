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
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "system/tool/console.h"
#include "classlib/params.h"
#include "skintool/commands.h"
#include "portico_version.h"

namespace {
using namespace portico;

struct TCommand {
  const char* Name;
  int (*Run)(const std::vector<std::string>& args);
  const char* Help;  // its first line is the synopsis (commands.h)
};

// Every command, in the order the tool's help lists them: a new command
// is one more entry.
int RunCheckHere(const std::vector<std::string>& args);

const TCommand Commands[] = {
    {"check", RunCheckHere, CheckHelp},
    {"preview", RunPreviewCommand, PreviewHelp},
    {"watch", RunWatchCommand, WatchHelp},
    {"new", RunNewCommand, NewHelp},
};

// check also measures the window against the screen it runs on.
int RunCheckHere(const std::vector<std::string>& args) { return RunCheckCommand(args, &QueryToolScreen); }

bool IsHelpOption(const std::string& a) { return a == "--help" || a == "-h"; }

void PrintToolHelp() {
  std::string text =
      "usage: portico-skin COMMAND ARGUMENTS...\n"
      "       portico-skin COMMAND --help\n"
      "       portico-skin --help | --version\n"
      "\n"
      "Explains a skin of the Portico launcher to its author.\n"
      "\n"
      "Commands:\n";
  for (const TCommand& c : Commands) {
    const std::string help = c.Help;
    const std::string synopsis = help.substr(0, help.find('\n'));
    const std::string prefix = "usage: portico-skin ";
    text += "  " + (synopsis.rfind(prefix, 0) == 0 ? synopsis.substr(prefix.size()) : synopsis) + "\n";
  }
  text +=
      "\n"
      "Exit status 64 means the command line was not understood; each\n"
      "command's help gives its other exit codes.\n";
  std::fputs(text.c_str(), stdout);
}
}  // namespace

int main(int argc, char** argv) {
  // As UTF-8 on every system (Windows gives argv in its ANSI code page).
  LoadSystemCommandLine(argc, argv);
  UseUtf8Console();
  std::vector<std::string> args;
  for (int i = 2; i <= ParamCount(); ++i) args.push_back(ParamStr(i));
  const std::string command = ParamStr(1);
  for (const TCommand& c : Commands) {
    if (command != c.Name) continue;
    if (std::any_of(args.begin(), args.end(), IsHelpOption)) {
      std::fputs(c.Help, stdout);
      return 0;
    }
    return c.Run(args);
  }
  if (IsHelpOption(command)) {
    PrintToolHelp();
    return 0;
  }
  if (command == "--version" && args.empty()) {
    std::fputs("portico-skin " PORTICO_VERSION "\n", stdout);
    return 0;
  }
  if (command.empty()) return UsageError("", "no command given");
  return UsageError("", "unknown command '" + command + "'");
}
