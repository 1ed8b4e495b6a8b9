// The Win32 window-system backend. This header is free of Windows types so
// that the entry point can pick the backend without seeing <windows.h>.
#pragma once
#include <memory>

#include "window/window_system.h"

namespace portico {

// Registers the window class; null when the system refuses.
std::unique_ptr<WindowSystem> CreateWin32WindowSystem();

}  // namespace portico
