// Preparing message text for the core X fonts: Latin-1 bytes, wrapped
// into lines that fit a width.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace portico {

// Decodes UTF-8 to Latin-1 for core fonts; characters beyond Latin-1 and
// broken sequences become '?', control characters other than newline a space.
std::string Utf8ToLatin1(const std::string& text);

// Splits at newlines and wraps each paragraph between words so that every
// line's `width` is at most max_width (a word wider than that is cut).
// At most max_lines lines; a cut text ends with "...".
std::vector<std::string> WrapText(const std::string& text, int max_width, size_t max_lines,
                                  const std::function<int(const std::string&)>& width);

}  // namespace portico
