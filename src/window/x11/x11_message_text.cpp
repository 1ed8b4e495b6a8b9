#include "window/x11/x11_message_text.h"

#include <cstdint>

namespace portico {

std::string Utf8ToLatin1(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += c == '\n' || c >= 0x20 ? static_cast<char>(c) : ' ';
      ++i;
      continue;
    }
    // Length of the sequence from its lead byte; continuation bytes alone
    // or bad leads count as one broken character.
    size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    uint32_t code = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
    bool ok = length > 1 && i + length <= text.size();
    for (size_t k = 1; ok && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      ok = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    out += ok && code >= 0xA0 && code <= 0xFF ? static_cast<char>(code) : '?';
    i += ok ? length : 1;
  }
  return out;
}

std::vector<std::string> WrapText(const std::string& text, int max_width, size_t max_lines,
                                  const std::function<int(const std::string&)>& width) {
  std::vector<std::string> lines;
  bool dropped = false;
  auto push = [&](std::string line) {
    if (lines.size() < max_lines)
      lines.push_back(std::move(line));
    else if (!line.empty())
      dropped = true;
  };
  size_t start = 0;
  while (start <= text.size() && lines.size() < max_lines) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string paragraph = text.substr(start, end - start);
    std::string line;
    size_t pos = 0;
    while (pos < paragraph.size() && lines.size() < max_lines) {
      const size_t space = paragraph.find(' ', pos);
      const size_t word_end = space == std::string::npos ? paragraph.size() : space;
      const std::string word = paragraph.substr(pos, word_end - pos);
      pos = word_end + 1;
      std::string candidate = line.empty() ? word : line + ' ' + word;
      if (width(candidate) <= max_width) {
        line = std::move(candidate);
        continue;
      }
      if (!line.empty()) push(std::move(line));
      line.clear();
      // A word wider than the line is cut where it stops fitting.
      std::string rest = word;
      while (!rest.empty() && width(rest) > max_width && lines.size() < max_lines) {
        size_t fit = 1;
        while (fit < rest.size() && width(rest.substr(0, fit + 1)) <= max_width) ++fit;
        push(rest.substr(0, fit));
        rest.erase(0, fit);
      }
      line = std::move(rest);
    }
    if (pos < paragraph.size()) dropped = true;
    push(std::move(line));
    start = end + 1;
  }
  if ((dropped || start <= text.size()) && !lines.empty()) lines.back() += "...";
  return lines;
}

}  // namespace portico
