// Reading the pointer's primary button for a pointer step.
#pragma once

namespace portico {

// The primary button's physical state at this moment (not the event's).
bool IsPrimaryButtonDown();

}  // namespace portico
