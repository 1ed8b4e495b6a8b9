// The one line the launcher writes to stderr when bad input ends it
// without a window (exit code 0 all the same), so that a skin's author
// learns why. The people who install software never see it.
#pragma once
#include <string>

#include "skin/skin.h"

namespace portico {

// The folder part of a description's name, its last separator included
// ("skins/aurora/"); empty for a bare name. The launcher takes the skin's
// files relative to the folder it starts in, never relative to this one.
std::string DescriptionFolderOf(const std::string& name);
// The name in single quotes for a POSIX shell (and PowerShell), so that a
// command the user copies works with blanks and quotes in it.
std::string ShellQuoted(const std::string& name);
// `command` run on the description `name` from the folder it names:
// "cd 'skins/aurora' && portico-skin check 'skin.ini'", or without the cd
// for a bare name.
std::string CommandInDescriptionFolder(const std::string& command, const std::string& name);

// The reasons, each without the "portico: " prefix.
std::string WrongArgumentCount(int count);
// Why no file exists at the skin folder followed by `file_name`.
std::string DescriptionNotFound(const std::string& skin_folder, const std::string& file_name);
// Which of the required controls the skin lacks (at least one does).
std::string RequiredControlsMissing(const TSkin& skin, const std::string& file_name);

// Writes "portico: REASON" as one line to stderr.
void SayWhyNotShown(const std::string& reason);

}  // namespace portico
