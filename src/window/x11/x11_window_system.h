// The X11 window-system backend. This header is free of X11 types so that
// the entry point can pick the backend without seeing Xlib.
#pragma once
#include <cstddef>
#include <memory>

#include "window/window_system.h"

namespace portico {

// Opens the display named by $DISPLAY; null when no display can be opened
// or it offers no true-colour visual.
std::unique_ptr<WindowSystem> CreateX11WindowSystem();

// Pixel bytes handed to the X server by Present since the process started
// (for benchmarks: partial hand-overs should send less).
size_t X11BytesSentForTesting();

}  // namespace portico
