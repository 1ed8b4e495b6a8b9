// The subcommands of portico-skin, each given its own arguments (the
// subcommand's name not included). Each returns the process exit code.
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
// The screen of the platform's window system; none without a display.
std::optional<TToolScreen> QueryToolScreen();
// preview DESCRIPTION.ini [VERSION] [--scale K] -o SHEET.png: 0 written,
// 2 not (also for a skin with an image the launcher cannot decode). K,
// the screen scale factor to draw at, is 1 to MaxPreviewScale.
int RunPreviewCommand(const std::vector<std::string>& args);
constexpr int MaxPreviewScale = 8;
// watch DESCRIPTION.ini VERSION [--launcher PATH]: the launcher's exit
// code once the user ends it by a choice; 2 when watching cannot start.
int RunWatchCommand(const std::vector<std::string>& args);
// new WIDTHxHEIGHT [NAME]: a skeleton skin in the current folder; 0
// written, 2 not (a bad size or name, or a file already there).
int RunNewCommand(const std::vector<std::string>& args);

// The usage text, for errors and --help.
extern const char* const SkinToolUsage;

}  // namespace portico
