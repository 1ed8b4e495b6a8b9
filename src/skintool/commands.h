// The subcommands of portico-skin, each given its own arguments (the
// subcommand's name not included). Each returns the process exit code;
// a command line a command cannot use is a usage error (UsageError).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "skintool/skin_check.h"

namespace portico {

// check [--json] DESCRIPTION.ini: 0 clean, 1 warnings only, 2 errors.
// The window is also checked against the screen `screen` finds, if any.
int RunCheckCommand(const std::vector<std::string>& args,
                    std::optional<TToolScreen> (*screen)() = nullptr);
extern const char* const CheckHelp;
// The screen of the platform's window system; none without a display.
std::optional<TToolScreen> QueryToolScreen();
// preview DESCRIPTION.ini [VERSION] [--scale K] -o SHEET.png: 0 written,
// 2 not (also for a skin with an image the launcher cannot decode). K,
// the screen scale factor to draw at, is 1 to MaxPreviewScale.
int RunPreviewCommand(const std::vector<std::string>& args);
extern const char* const PreviewHelp;
constexpr int MaxPreviewScale = 8;
// watch DESCRIPTION.ini VERSION [--launcher PATH]: the launcher's exit
// code once the user ends it by a choice; 2 when watching cannot start.
int RunWatchCommand(const std::vector<std::string>& args);
extern const char* const WatchHelp;
// new WIDTHxHEIGHT [NAME]: a skeleton skin in the current folder; 0
// written, 2 not (a bad size or name, or a file already there).
int RunNewCommand(const std::vector<std::string>& args);
extern const char* const NewHelp;

// A command's help text (for `portico-skin COMMAND --help`) starts with
// its synopsis, "usage: portico-skin COMMAND ...", on a line of its own;
// the tool's own help lists those first lines.

// EX_USAGE of BSD's sysexits.h: a pipeline tells "you called me wrong"
// from a command's own results (0, 1, 2, or the launcher's 0 and 1).
constexpr int UsageExitCode = 64;
// Writes "portico-skin COMMAND: WHY (see ...)" as one line on stderr and
// returns UsageExitCode.
int UsageError(const std::string& command, const std::string& why);

}  // namespace portico
