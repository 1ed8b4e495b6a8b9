// The one line the launcher writes to stderr when bad input ends it
// without a window (exit code 0 all the same), so that a skin's author
// learns why. The people who install software never see it.
#pragma once
#include <string>

#include "skin/skin.h"

namespace portico {

// The reasons, each without the "portico: " prefix.
std::string WrongArgumentCount(int count);
// Why no file exists at the skin folder followed by `file_name`.
std::string DescriptionNotFound(const std::string& skin_folder, const std::string& file_name);
// Which of the required controls the skin lacks (at least one does).
std::string RequiredControlsMissing(const TSkin& skin, const std::string& file_name);

// Writes "portico: REASON" as one line to stderr.
void SayWhyNotShown(const std::string& reason);

}  // namespace portico
