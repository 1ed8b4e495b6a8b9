// The command line as the application sees it.
#pragma once
#include <string>
#include <vector>

namespace portico {

// Stores the process's command line once at start-up, as UTF-8: argv on
// POSIX systems, the wide command line on Windows (where argv is in the
// ANSI code page). Each platform implements it.
void LoadSystemCommandLine(int argc, const char* const* argv);
// Stores the given arguments (program name first).
void SetCommandLine(int argc, const char* const* argv);
void SetCommandLine(std::vector<std::string> args);
// Number of arguments after the program name.
int ParamCount();
// Argument i (0 is the program); empty when out of range.
std::string ParamStr(int i);

}  // namespace portico
