// Handing a target to the desktop's opener.
#pragma once
#include <string>

namespace portico {

// Starts the desktop opener (xdg-open) with `target` as its only argument,
// without a shell and without waiting; the child is reaped and its output
// kept out of ours. Returns false when it could not be started.
bool OpenWithDesktop(const std::string& target);

}  // namespace portico
