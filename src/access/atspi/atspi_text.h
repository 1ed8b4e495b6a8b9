// Text as D-Bus carries it: valid UTF-8 only (libdbus aborts the program
// on anything else), counted in characters as AT-SPI counts offsets.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace portico {

// `text` with every byte that is not part of a well-formed UTF-8 sequence
// replaced by U+FFFD (skin names may be 8-bit text) and NULs dropped.
std::string ValidUtf8(std::string_view text);

// The number of characters of valid UTF-8 text.
size_t Utf8Length(std::string_view text);

// Characters [start, end) of valid UTF-8 text; end -1 (or past the end):
// to the end. Out-of-range or reversed offsets give an empty string.
std::string Utf8Slice(std::string_view text, int start, int end);

}  // namespace portico
