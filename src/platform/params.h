// The command line as the application sees it.
#pragma once
#include <string>
#include <vector>

namespace portico {

// Stores argv once at start-up.
void SetCommandLine(int argc, const char* const* argv);
void SetCommandLine(std::vector<std::string> args);
// Number of arguments after the program name.
int ParamCount();
// Argument i (0 is the program); empty when out of range.
std::string ParamStr(int i);

}  // namespace portico
