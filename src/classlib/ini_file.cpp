// The profile-file reader. The file is kept as text; a query finds its
// section once (remembered per name) and reads only that section's lines.
#include "classlib/ini_file.h"

#include <cstdint>
#include <string_view>

#include "system/ascii.h"
#include "text/codepage.h"
#include "system/files.h"

namespace portico {
namespace {

// A description file is small; anything past this is not read at all.
constexpr size_t MaxFileBytes = size_t{64} * 1024 * 1024;

// Whitespace that trimming removes (line breaks end lines before this).
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// The text without leading and trailing whitespace.
std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The first `limit` bytes of s, moved back so that a UTF-8 sequence is not
// split (at most three bytes back, so other 8-bit text is barely affected).
std::string_view CutTo(std::string_view s, size_t limit) {
  if (s.size() <= limit) return s;
  size_t cut = limit;
  for (int back = 0; back < 3 && cut > 0 && (uint8_t(s[cut]) & 0xC0) == 0x80; ++back) --cut;
  if ((uint8_t(s[cut]) & 0xC0) == 0x80) cut = limit;  // not UTF-8 after all
  return s.substr(0, cut);
}

// Removes one pair of matching quotes (" or ') around a value.
std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// What one line of the file is (its number is counted by the caller).
using TIniLine = TIniFile::TLineInfo;

// Classifies one line: comment, section header, key or nothing.
TIniLine ParseLine(std::string_view raw) {
  TIniLine line;
  line.Text = raw;
  std::string_view s = Trim(raw);
  if (s.empty()) return line;
  if (s[0] == ';') {
    line.Kind = TIniLine::Comment;
    return line;
  }
  if (s[0] == '[') {
    // The name runs to the first ']'; a header without one still counts,
    // and text after the ']' is ignored.
    std::string_view rest = s.substr(1);
    line.Kind = TIniLine::Section;
    line.Name = Trim(rest.substr(0, rest.find(']')));
    return line;
  }
  size_t eq = s.find('=');
  if (eq == std::string_view::npos) {
    line.Kind = TIniLine::Ignored;
    return line;
  }
  line.Kind = TIniLine::Key;
  line.Name = Trim(s.substr(0, eq));
  line.Value = Trim(s.substr(eq + 1));
  return line;
}

// Calls visit(line, end) for every line of the text from `pos` on, where
// `end` is the offset just past the line, until visit returns false.
template <typename TVisit>
void ForEachLine(std::string_view text, size_t pos, TVisit visit) {
  while (pos < text.size()) {
    // Lines end at CR, LF or CRLF.
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    TIniLine line = ParseLine(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    if (!visit(line, pos)) return;
  }
}

// Calls visit(line) for every key line of a section whose body starts at
// `body`, in file order, until visit returns false or the section ends.
template <typename TVisit>
void ForEachKey(std::string_view text, size_t body, TVisit visit) {
  ForEachLine(text, body, [&](const TIniLine& line, size_t) {
    if (line.Kind == TIniLine::Section) return false;
    return line.Kind != TIniLine::Key || visit(line);
  });
}

// The lower-case form of a section name, the key of the section index.
std::string LowerName(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

// Appends code point cp as UTF-8.
void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// Decodes UTF-16 bytes (BOM already removed) to UTF-8; unpaired
// surrogates become U+FFFD and an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
  std::u16string units(bytes.size() / 2, u'\0');
  const int high = big_endian ? 0 : 1;
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = char16_t(uint8_t(bytes[2 * i + high]) << 8 | uint8_t(bytes[2 * i + 1 - high]));
  std::string out;
  out.reserve(bytes.size());
  for (char32_t cp : DecodeUtf16(units, units.size())) AppendUtf8(out, cp);
  return out;
}

// The file's bytes as the reader sees them: UTF-16 with its byte-order
// mark (either order) is decoded to UTF-8, a UTF-8 byte-order mark is
// dropped, and everything else is taken as 8-bit text. The platform's own
// reader spoils the first line after a UTF-8 mark and reads nothing from
// UTF-16BE; descriptions saved by Windows editors must read as written.
std::string DecodeFileBytes(std::string bytes, TIniFile::TEncoding& encoding) {
  const auto starts = [&bytes](std::string_view mark) { return bytes.compare(0, mark.size(), mark) == 0; };
  encoding = TIniFile::TEncoding::EightBit;
  if (starts("\xFF\xFE")) {
    encoding = TIniFile::TEncoding::Utf16Le;
    return Utf16ToUtf8(std::string_view(bytes).substr(2), false);
  }
  if (starts("\xFE\xFF")) {
    encoding = TIniFile::TEncoding::Utf16Be;
    return Utf16ToUtf8(std::string_view(bytes).substr(2), true);
  }
  if (starts("\xEF\xBB\xBF")) {
    encoding = TIniFile::TEncoding::Utf8;
    bytes.erase(0, 3);
  }
  return bytes;
}

// The file's bytes, at most MaxFileBytes of them; empty for anything
// that is not a readable regular file.
std::string ReadFileBytes(const std::string& path) {
  TFileBytes file = ReadRegularFile(path, MaxFileBytes, TOverLimit::Cut);
  if (file.Status != TReadStatus::Ok) return {};
  return std::string(file.Bytes.begin(), file.Bytes.end());
}

}  // namespace

TIniFile::TIniFile(const std::string& path)
    : text_(DecodeFileBytes(ReadFileBytes(ResolvePath(path)), encoding_)) {}

TIniFile TIniFile::FromText(const std::string& text) {
  TIniFile ini;
  ini.text_ = DecodeFileBytes(text, ini.encoding_);
  return ini;
}

const size_t* TIniFile::SectionBody(const std::string& section) const {
  // Each section name asked for is looked up once and remembered, so a
  // query reads only its own section however large the file is, and a
  // file of countless sections costs no memory.
  std::string name = LowerName(section);
  auto it = sections_.find(name);
  if (it == sections_.end()) {
    size_t body = NoSection;
    ForEachLine(text_, 0, [&](const TIniLine& line, size_t end) {
      if (line.Kind != TIniLine::Section || !SameIgnoringAsciiCase(line.Name, section)) return true;
      body = end;
      return false;
    });
    it = sections_.emplace(std::move(name), body).first;
  }
  return it->second == NoSection ? nullptr : &it->second;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
  return ReadString(section, key, def, ValueBufferSize);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def, size_t size) const {
  if (size == 0) return {};
  bool found = false;
  std::string_view value;
  const size_t* body = SectionBody(section);
  if (body) ForEachKey(text_, *body, [&](const TIniLine& line) {
    if (!SameIgnoringAsciiCase(line.Name, key)) return true;
    found = true;  // the first occurrence wins
    value = Unquote(line.Value);
    return false;
  });
  if (!found) {
    // The platform reader drops trailing blanks of the default.
    std::string_view d = def;
    while (!d.empty() && IsBlank(d.back())) d.remove_suffix(1);
    value = d;
  }
  return std::string(CutTo(value, size - 1));
}

void TIniFile::ReadSection(const std::string& section, std::vector<std::string>& keys) const {
  keys = ReadSectionKeys(section, SectionBufferSize);
}

std::vector<std::string> TIniFile::ReadSectionKeys(const std::string& section, size_t size) const {
  std::vector<std::string> keys;
  if (size <= 2) return keys;
  // The platform reader fills "name\0name\0...\0\0" and keeps the first
  // size - 2 characters of the names and their zeros.
  const size_t budget = size - 2;
  size_t used = 0;
  const size_t* body = SectionBody(section);
  if (body) ForEachKey(text_, *body, [&](const TIniLine& line) {
    // An empty name ("=value") would read as the list's end marker.
    if (line.Name.empty()) return false;
    if (used + line.Name.size() + 1 <= budget) {
      keys.emplace_back(line.Name);
      used += line.Name.size() + 1;
      return true;
    }
    std::string_view part = CutTo(line.Name, budget - used);
    if (!part.empty()) keys.emplace_back(part);
    return false;
  });
  return keys;
}

void TIniFile::VisitLines(const std::function<bool(const TLineInfo&)>& visit) const {
  int number = 0;
  ForEachLine(text_, 0, [&](TIniLine line, size_t) {
    line.Number = ++number;
    return visit(line);
  });
}

int TIniFile::BodyLine(const std::string& section) const {
  const size_t* body = SectionBody(section);
  if (!body) return 0;
  auto it = body_lines_.find(*body);
  if (it == body_lines_.end()) {
    int number = 1;
    ForEachLine(text_, 0, [&](const TIniLine&, size_t end) {
      ++number;
      return end < *body;
    });
    it = body_lines_.emplace(*body, number).first;
  }
  return it->second;
}

int TIniFile::SectionLine(const std::string& section) const {
  const int body = BodyLine(section);
  return body > 0 ? body - 1 : 0;
}

int TIniFile::KeyLine(const std::string& section, const std::string& key) const {
  // The walk of ReadString: the section's body up to the next header, and
  // the first key of the name in it.
  const size_t* body = SectionBody(section);
  if (!body) return 0;
  int number = BodyLine(section), found = 0;
  ForEachLine(text_, *body, [&](const TIniLine& line, size_t) {
    if (line.Kind == TIniLine::Section) return false;
    if (line.Kind == TIniLine::Key && SameIgnoringAsciiCase(line.Name, key)) found = number;
    ++number;
    return found == 0;
  });
  return found;
}

}  // namespace portico
