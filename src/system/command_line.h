// The program's arguments as the system hands them over, program name
// first, in UTF-8.
#pragma once
#include <string>
#include <vector>

namespace portico {

// argc/argv are main's; a system whose argv cannot hold every name reads
// its own command line instead.
std::vector<std::string> SystemCommandLine(int argc, const char* const* argv);

}  // namespace portico
