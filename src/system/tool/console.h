// The console the skin designer's tool writes its findings to. Each
// platform implements it (posix/posix_console.cpp, win32/win32_console.cpp).
#pragma once

namespace portico {

// Makes the console show the UTF-8 text the program writes, for as long as
// the program runs.
void UseUtf8Console();

}  // namespace portico
