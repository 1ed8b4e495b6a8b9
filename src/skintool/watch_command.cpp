#include <cstdio>
#include <filesystem>

#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "skintool/commands.h"
#include "skintool/watch_session.h"

namespace portico {

const char* const WatchHelp =
    "usage: portico-skin watch DESCRIPTION.ini VERSION [--launcher PATH]\n"
    "\n"
    "Runs the launcher on the skin in a real window and, whenever the\n"
    "description or a file it names is saved, prints the check's findings and\n"
    "starts the launcher again where its window was left.\n"
    "\n"
    "  --launcher PATH  the launcher to run (default: the portico beside this tool)\n"
    "\n"
    "Exit status: the launcher's (1 Exit, 0 Install or Escape) once the user\n"
    "chooses; 2 when watching cannot start; 64 a usage error.\n";

int RunWatchCommand(const std::vector<std::string>& args) {
  TWatchOptions options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--launcher" && i + 1 < args.size())
      options.Launcher = args[++i];
    else
      positional.push_back(args[i]);
  }
  if (positional.size() != 2) return UsageError("watch", "expected DESCRIPTION.ini VERSION");
  options.Description = positional[0];
  options.Version = positional[1];
  if (options.Launcher.empty()) options.Launcher = SiblingProgram("portico");
  // Through UTF-8 both ways: Windows would use its ANSI code page.
  std::error_code ec;
  const std::u8string launcher =
      std::filesystem::absolute(std::u8string(options.Launcher.begin(), options.Launcher.end()), ec)
          .u8string();
  if (!ec) options.Launcher.assign(launcher.begin(), launcher.end());

  std::unique_ptr<TProcessWindows> windows = TProcessWindows::Open();
  if (!windows) {
    std::fputs("portico-skin: no display to show the launcher on\n", stderr);
    return 2;
  }
  TFileWatch files;
  if (!files.Ok()) {
    std::fprintf(stderr, "portico-skin: cannot watch files: %s\n", files.Error().c_str());
    return 2;
  }
  HeadlessWindowSystem ws;
  TApplication app(ws);
  app.Initialize();
  return RunWatch(options, *windows, files);
}

}  // namespace portico
