// Preparing message text: well-formed UTF-8 without control characters
// (Latin-1 bytes for the core X font), wrapped into lines that fit a width.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace portico {

// Keeps well-formed UTF-8; every broken sequence becomes U+FFFD and
// control characters other than newline a space.
std::string CleanMessageText(const std::string& text);

// Decodes UTF-8 to Latin-1 for core fonts; characters beyond Latin-1 and
// broken sequences become '?', control characters other than newline a space.
std::string Utf8ToLatin1(const std::string& text);

// Splits UTF-8 text at newlines and wraps each paragraph between words so
// that every line's `width` is at most max_width (a word wider than that
// is cut between characters). At most max_lines lines; a cut text ends
// with "...".
std::vector<std::string> WrapText(const std::string& text, int max_width, size_t max_lines,
                                  const std::function<int(const std::string&)>& width);

}  // namespace portico
