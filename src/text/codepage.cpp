#include "text/codepage.h"

namespace portico {

std::u16string AnsiToWide(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0, n = text.size();
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < n) {
    unsigned char c = byte(i);
    char32_t cp;
    size_t len;
    if (c < 0x80) {
      cp = c;
      len = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      cp = c & 0x1F;
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      cp = c & 0x0F;
      len = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      cp = c & 0x07;
      len = 4;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    size_t k = 1;
    for (; k < len && i + k < n; ++k) {
      unsigned char cc = byte(i + k);
      if ((cc & 0xC0) != 0x80) break;
      // Overlong forms, surrogates and values past U+10FFFF are invalid.
      if (k == 1 && ((c == 0xE0 && cc < 0xA0) || (c == 0xED && cc > 0x9F) ||
                     (c == 0xF0 && cc < 0x90) || (c == 0xF4 && cc > 0x8F)))
        break;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (k < len) {
      // One replacement for the maximal valid prefix, then resync.
      out.push_back(0xFFFD);
      i += k;
      continue;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

namespace {

constexpr char32_t Replacement = 0xFFFD;

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::u32string DecodeUtf16(std::u16string_view text, size_t max_codes) {
  std::u32string out;
  out.reserve(text.size() < max_codes ? text.size() : max_codes);
  for (size_t i = 0; i < text.size() && out.size() < max_codes; ++i) {
    const char16_t u = text[i];
    if (IsHighSurrogate(u)) {
      if (i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        out.push_back(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
        ++i;
      } else {
        out.push_back(Replacement);
      }
    } else if (IsLowSurrogate(u)) {
      out.push_back(Replacement);
    } else {
      out.push_back(u);
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string ValidUtf8(const std::string& text) {
  const std::u16string wide = AnsiToWide(text);
  const std::u32string codes = DecodeUtf16(wide, wide.size());
  std::string out;
  out.reserve(text.size());
  for (char32_t c : codes) AppendUtf8(out, c);
  return out;
}

}  // namespace portico
