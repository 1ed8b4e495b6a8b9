#include <cstdio>
#include <filesystem>

#include "platform/application.h"
#include "platform/headless/headless_window_system.h"
#include "skintool/commands.h"
#include "skintool/watch_session.h"

namespace portico {

int RunWatchCommand(const std::vector<std::string>& args) {
  TWatchOptions options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--launcher" && i + 1 < args.size())
      options.Launcher = args[++i];
    else
      positional.push_back(args[i]);
  }
  if (positional.size() != 2) {
    std::fputs(SkinToolUsage, stderr);
    return 2;
  }
  options.Description = positional[0];
  options.Version = positional[1];
  if (options.Launcher.empty()) options.Launcher = SiblingProgram("portico");
  std::error_code ec;
  options.Launcher = std::filesystem::absolute(options.Launcher, ec).string();

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
