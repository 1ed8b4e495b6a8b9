// The command line on POSIX systems: argv is the system's own UTF-8.
#include "platform/params.h"

namespace portico {

void LoadSystemCommandLine(int argc, const char* const* argv) { SetCommandLine(argc, argv); }

}  // namespace portico
