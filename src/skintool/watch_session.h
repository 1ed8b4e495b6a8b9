// `portico-skin watch`: the real launcher runs on the skin in its own
// window; whenever a file of the skin changes, the check's findings are
// printed and the launcher starts again where its window was.
#pragma once
#include <string>

#include "system/tool/file_watch.h"
#include "system/tool/process_windows.h"

namespace portico {

struct TWatchOptions {
  std::string Description;  // as given: its folder is the skin folder
  std::string Version;      // the launcher's second argument
  std::string Launcher;     // the launcher program, an absolute path
};

// Runs until the user ends the launcher by a choice (Install, Exit,
// Escape) and returns its exit code; a launcher that ends without showing
// the skin is waited out until the next change. 2 when it cannot start.
// Needs the global Application (headless) for the checks.
int RunWatch(const TWatchOptions& options, TProcessWindows& windows, TFileWatch& files);

}  // namespace portico
