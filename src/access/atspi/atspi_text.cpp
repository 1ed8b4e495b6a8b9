#include "access/atspi/atspi_text.h"

#include <cstdint>

namespace portico {

namespace {
// The length of the well-formed UTF-8 sequence at text[i], 0 for none.
size_t SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t lead = byte(i);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint32_t min = 0;
  uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}
}  // namespace

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(text, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      if (text[i] != '\0') out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

std::string Utf8Slice(std::string_view text, int start, int end) {
  const size_t length = Utf8Length(text);
  const size_t first = start < 0 ? 0 : static_cast<size_t>(start);
  const size_t last = (end < 0 || static_cast<size_t>(end) > length) ? length : static_cast<size_t>(end);
  if (first >= last) return {};
  std::string out;
  size_t index = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool lead = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (lead && i > 0) ++index;
    if (index >= last) break;
    if (index >= first) out += text[i];
  }
  return out;
}

}  // namespace portico
