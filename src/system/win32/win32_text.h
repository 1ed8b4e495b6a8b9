// Text across the Win32 boundary: UTF-8 inside Portico, UTF-16 at every
// W call. The header names no Windows type.
#pragma once
#include <string>
#include <string_view>

namespace portico {

// UTF-8 to UTF-16 for a W call; invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
// UTF-16 from the system to UTF-8; lone surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
// The system's message for an error code (GetLastError), in UTF-8,
// without the trailing line break.
std::string SystemErrorText(unsigned long code);

}  // namespace portico
