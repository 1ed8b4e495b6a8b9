// UTF-16 to code points, as caption text arrives from the skin.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace portico {

// Decodes at most `max_codes` code points of UTF-16 text; surrogate pairs
// become one code point and a lone surrogate becomes U+FFFD.
std::u32string DecodeUtf16(std::u16string_view text, size_t max_codes);

}  // namespace portico
