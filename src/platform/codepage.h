// Narrow text (the system code page, UTF-8 here) to wide UTF-16 text.
#pragma once
#include <string>

namespace portico {

// Decodes UTF-8; every invalid or truncated sequence becomes U+FFFD.
std::u16string AnsiToWide(const std::string& text);

}  // namespace portico
