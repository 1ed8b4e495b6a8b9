#include "app/quiet_exit.h"

#include <cstdio>

#include "app/unit_install.h"
#include "system/files.h"

namespace portico {

namespace {
// Where a skin's author can learn more, as a command to copy.
std::string CheckHint(const std::string& file_name) {
  return "; run \"" + CommandInDescriptionFolder("portico-skin check", file_name) +
         "\" for details";
}

}  // namespace

std::string DescriptionFolderOf(const std::string& name) {
  const size_t sep = name.find_last_of("/\\");
  return sep == std::string::npos ? std::string() : name.substr(0, sep + 1);
}

std::string ShellQuoted(const std::string& name) {
  std::string quoted = "'";
  for (char c : name) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

namespace {
// "skins/aurora/" as one names it to enter it, "skins/aurora"; a root stays itself.
std::string FolderToEnter(const std::string& folder) {
  return folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
}
}  // namespace

std::string CommandInDescriptionFolder(const std::string& command, const std::string& name) {
  const std::string folder = DescriptionFolderOf(name);
  const std::string run = command + " " + ShellQuoted(name.substr(folder.size()));
  if (folder.empty()) return run;
  return "cd " + ShellQuoted(FolderToEnter(folder)) + " && " + run;
}

std::string WrongArgumentCount(int count) {
  return "expected two arguments, DESCRIPTION.ini VERSION, but got " + std::to_string(count);
}

std::string DescriptionNotFound(const std::string& skin_folder, const std::string& file_name) {
  if (file_name.empty()) return "the description's name is empty";
  if (IsRootedName(file_name)) {
    std::string why = file_name +
                      ": the description is looked up in the current folder; start portico in "
                      "the skin's folder with the description's name relative to it";
    if (!DescriptionFolderOf(file_name).empty())
      why += ": " + CommandInDescriptionFolder("portico", file_name) + " VERSION";
    return why;
  }
  const TFileBytes probe =
      ReadRegularFile(ResolvePath(skin_folder + file_name), 0, TOverLimit::Cut);
  const std::string why = probe.Status == TReadStatus::NotRegular
                              ? "is not a file"
                              : "no such file in the current folder";
  return file_name + ": " + why + CheckHint(file_name);
}

std::string RequiredControlsMissing(const TSkin& skin, const std::string& file_name) {
  const bool install = skin.FindButton(InstallButtonName), exit = skin.FindButton(ExitButtonName);
  std::string what = !install && !exit ? std::string("no controls named \"") + InstallButtonName +
                                             "\" and \"" + ExitButtonName + "\""
                                       : std::string("no control named \"") +
                                             (install ? ExitButtonName : InstallButtonName) + "\"";
  if (!skin.BitmapNormal) what += " (without a Normal image no control is made)";
  const std::string folder = DescriptionFolderOf(file_name);
  if (!folder.empty())
    what += "; the skin's files are named relative to the folder portico starts in, so start "
            "it in " + ShellQuoted(FolderToEnter(folder));
  return file_name + ": " + what + CheckHint(file_name);
}

void SayWhyNotShown(const std::string& reason) {
  std::fprintf(stderr, "portico: %s\n", reason.c_str());
  std::fflush(stderr);
}

}  // namespace portico
