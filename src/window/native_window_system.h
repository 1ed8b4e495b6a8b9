// The window system of the platform the program was built for (X11 on
// Linux, Win32 on Windows). Each backend implements the factory.
#pragma once
#include <memory>

#include "window/window_system.h"

namespace portico {

// Connects to the platform's window system; null when that fails (for
// example no X display). Says why on stderr unless told not to.
std::unique_ptr<WindowSystem> CreateNativeWindowSystem(bool say_why = true);

}  // namespace portico
