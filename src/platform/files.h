// File names: existence, extensions, and names written on Windows.
#pragma once
#include <string>

namespace portico {

// True only for an existing regular file (after name resolution).
bool FileExists(const std::string& path);

// The text from the last "." after the last path separator ("\\", "/" or
// ":"), dot included; empty when the file name has no dot.
std::string ExtractFileExt(const std::string& path);

// Turns a skin path into one this system can open: backslashes become
// folder separators, and where a path component does not exist exactly,
// a case-insensitive match in its folder is taken. Returns the path
// unchanged (with separators converted) when nothing matches.
std::string ResolvePath(const std::string& path);

}  // namespace portico
