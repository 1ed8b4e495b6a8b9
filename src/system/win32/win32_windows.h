// <windows.h> as every file of the Win32 platform layer includes it: lean,
// and without the min/max macros that would break std::min and std::max.
// Only the Win32 backends (the win32/ folders) include this header.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
