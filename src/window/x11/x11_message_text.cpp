#include "window/x11/x11_message_text.h"

#include <cstdint>

#include "text/codepage.h"

namespace portico {

namespace {
constexpr char32_t Broken = 0xFFFD;

// Decodes the character at text[i] and moves i past it; a broken sequence
// gives Broken and moves past its first byte only.
char32_t NextChar(const std::string& text, size_t& i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    ++i;
    return c;
  }
  const size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
  char32_t code = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
  bool ok = length > 1 && i + length <= text.size();
  for (size_t k = 1; ok && k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    ok = (next & 0xC0) == 0x80;
    code = (code << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are broken too.
  constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
  ok = ok && code >= Least[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  i += ok ? length : 1;
  return ok ? code : Broken;
}

// Where the character after the one starting at text[i] starts.
size_t NextCharStart(const std::string& text, size_t i) {
  do ++i;
  while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80);
  return i;
}
}  // namespace

std::string CleanMessageText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t code = NextChar(text, i);
    AppendUtf8(out, code == '\n' || code >= 0x20 ? code : ' ');
  }
  return out;
}

std::string Utf8ToLatin1(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t code = NextChar(text, i);
    if (code < 0x80)
      out += code == '\n' || code >= 0x20 ? static_cast<char>(code) : ' ';
    else
      out += code >= 0xA0 && code <= 0xFF ? static_cast<char>(code) : '?';
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
        size_t fit = NextCharStart(rest, 0);
        for (size_t more = NextCharStart(rest, fit); fit < rest.size() && width(rest.substr(0, more)) <= max_width;
             more = NextCharStart(rest, more))
          fit = more;
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
