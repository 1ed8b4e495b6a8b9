#include "platform/text/utf16.h"

namespace portico {

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

}  // namespace portico
