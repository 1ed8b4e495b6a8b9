// Handing a target to the desktop's opener.
#pragma once
#include <string>

namespace portico {

// Hands `target` to the desktop's opener without waiting and without a
// command line: on Linux xdg-open as the only argument of a reaped child
// whose output is kept out of ours, on Windows the shell's "open". Returns
// false when it could not be started.
bool OpenWithDesktop(const std::string& target);

}  // namespace portico
