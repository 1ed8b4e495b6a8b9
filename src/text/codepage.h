// Text encodings: narrow text (the system code page, UTF-8 here) to wide
// UTF-16 text, and UTF-16 to code points.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace portico {

// Decodes UTF-8; every invalid or truncated sequence becomes U+FFFD.
std::u16string AnsiToWide(const std::string& text);

// The text as well-formed UTF-8: every invalid or truncated sequence
// (overlong forms and encoded surrogates included) becomes U+FFFD, as
// AnsiToWide decodes it.
std::string ValidUtf8(const std::string& text);

// Appends code point `code` (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t code);

// Decodes at most `max_codes` code points of UTF-16 text; surrogate pairs
// become one code point and a lone surrogate becomes U+FFFD.
std::u32string DecodeUtf16(std::u16string_view text, size_t max_codes);

}  // namespace portico
