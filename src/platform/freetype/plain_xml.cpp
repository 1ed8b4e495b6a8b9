#include "platform/freetype/plain_xml.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "platform/ascii.h"

namespace portico {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// What each byte may be without a closer look; the runs of such bytes are
// most of a document, and are taken a byte a step.
enum : uint8_t {
  NameStart = 1,     // names are ASCII here: others go to the full parser
  NameChar = 2,
  PlainText = 4,     // text as it stands: no markup, reference or CR
  PlainValue = 8,    // an attribute value's, but neither quote nor blanks
  PlainComment = 16  // a comment's, but no hyphen
};

constexpr std::array<uint8_t, 256> MakeByteClasses() {
  std::array<uint8_t, 256> classes{};
  for (int c = 0x20; c < 0x7F; ++c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter || c == '_' || c == ':') classes[c] |= NameStart | NameChar;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') classes[c] |= NameChar;
    if (c != '<' && c != '&' && c != ']') classes[c] |= PlainText;
    if (c != '<' && c != '&' && c != '"' && c != '\'') classes[c] |= PlainValue;
    if (c != '-') classes[c] |= PlainComment;
  }
  classes['\t'] |= PlainText | PlainComment;
  classes['\n'] |= PlainText | PlainComment;
  classes['\r'] |= PlainComment;
  return classes;
}
constexpr std::array<uint8_t, 256> ByteClasses = MakeByteClasses();

bool Is(char c, uint8_t what) { return (ByteClasses[static_cast<unsigned char>(c)] & what) != 0; }
bool IsNameStart(char c) { return Is(c, NameStart); }

bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsPublicIdChar(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view(" \r\n-'()+,./:=?;!*#@$_%").find(c) != std::string_view::npos;
}

// Bytes of the well-formed UTF-8 XML character at the start of TEXT, or 0.
size_t CharLength(std::string_view text) {
  const auto byte = [&](size_t i) { return uint32_t(static_cast<unsigned char>(text[i])); };
  const uint32_t lead = byte(0);
  if (lead < 0x80) return IsXmlChar(lead) ? 1 : 0;
  size_t length;
  uint32_t code;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  // Overlong forms are not characters either.
  static constexpr uint32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
  return code >= Least[length] && IsXmlChar(code) ? length : 0;
}

// Writes C as UTF-8 at OUT; returns the bytes written.
size_t EncodeUtf8(char* out, uint32_t c) {
  if (c < 0x80) {
    out[0] = char(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = char(0xC0 | (c >> 6));
    out[1] = char(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = char(0xE0 | (c >> 12));
    out[1] = char(0x80 | ((c >> 6) & 0x3F));
    out[2] = char(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = char(0xF0 | (c >> 18));
  out[1] = char(0x80 | ((c >> 12) & 0x3F));
  out[2] = char(0x80 | ((c >> 6) & 0x3F));
  out[3] = char(0x80 | (c & 0x3F));
  return 4;
}

}  // namespace

bool TPlainXmlReader::Read(std::string_view document) {
  doc_ = document;
  pos_ = counted_ = 0;
  line_ = 1;
  events_.clear();
  attributes_.clear();
  size_ = 0;
  if (document.size() > MaxDocument) return false;
  // Each byte read gives at most one byte of strings, and each string's
  // NUL has markup of its own to stand for: twice the document is room.
  strings_.reset(new char[2 * document.size() + 16]);
  has_cr_ = std::memchr(document.data(), '\r', document.size()) != nullptr;
  events_.reserve(document.size() / 16);
  return Document();
}

bool TPlainXmlReader::StartsWith(std::string_view text) const {
  return doc_.size() - pos_ >= text.size() && doc_[pos_] == text[0] &&
         std::memcmp(doc_.data() + pos_, text.data(), text.size()) == 0;
}

size_t TPlainXmlReader::SkipSpace() {
  const size_t start = pos_;
  pos_ = RunEnd(start, [](char c) { return IsSpace(c); });
  return pos_ - start;
}

// Counts CR LF, CR and LF as one line end each, as XML does.
uint32_t TPlainXmlReader::LineAt(size_t position) {
  position = std::min(position, doc_.size());
  if (position < counted_) {
    counted_ = 0;
    line_ = 1;
  }
  if (!has_cr_) {
    const char* at = doc_.data() + counted_;
    const char* end = doc_.data() + position;
    while (at < end && (at = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at))))) {
      ++line_;
      ++at;
    }
    counted_ = position;
    return line_;
  }
  for (; counted_ < position; ++counted_) {
    const char c = doc_[counted_];
    if (c == '\n' || (c == '\r' && (counted_ + 1 >= doc_.size() || doc_[counted_ + 1] != '\n'))) ++line_;
  }
  return line_;
}

uint32_t TPlainXmlReader::Store(std::string_view text) {
  const auto offset = uint32_t(size_);
  Put(text);
  Put('\0');
  return offset;
}

std::string_view TPlainXmlReader::Name() {
  const size_t start = pos_;
  if (pos_ >= doc_.size() || !IsNameStart(doc_[pos_])) return {};
  pos_ = RunEnd(pos_ + 1, [](char c) { return Is(c, NameChar); });
  if (pos_ < doc_.size() && static_cast<unsigned char>(doc_[pos_]) >= 0x80) return {};
  return doc_.substr(start, pos_ - start);
}

// prolog element Misc*, where Misc is only space and comments here.
bool TPlainXmlReader::Document() {
  // Anything before the declaration, a byte order mark too, is refused.
  if (StartsWith("<?xml") && doc_.size() > 5 && IsSpace(doc_[5]) && !XmlDeclaration()) return false;
  bool doctype_seen = false;
  for (;;) {
    SkipSpace();
    if (StartsWith("<!--")) {
      if (!Comment()) return false;
    } else if (StartsWith("<!DOCTYPE") && !doctype_seen) {
      if (!Doctype()) return false;
      doctype_seen = true;
    } else if (pos_ + 1 < doc_.size() && doc_[pos_] == '<' && IsNameStart(doc_[pos_ + 1])) {
      break;
    } else {
      return false;
    }
  }
  if (!Element()) return false;
  for (;;) {
    SkipSpace();
    if (pos_ == doc_.size()) return true;
    if (!StartsWith("<!--") || !Comment()) return false;
  }
}

// <?xml version="1.0" [encoding="UTF-8"] [standalone="yes|no"] ?>
bool TPlainXmlReader::XmlDeclaration() {
  pos_ += 5;
  const auto pseudo_attribute = [this](std::string_view name, std::string_view& value) {
    const size_t start = pos_;
    if (SkipSpace() && StartsWith(name)) {
      pos_ += name.size();
      SkipSpace();
      if (pos_ < doc_.size() && doc_[pos_] == '=') {
        ++pos_;
        SkipSpace();
        const char quote = pos_ < doc_.size() ? doc_[pos_] : '\0';
        if (quote == '"' || quote == '\'') {
          const size_t end = doc_.find(quote, pos_ + 1);
          if (end != std::string_view::npos) {
            value = doc_.substr(pos_ + 1, end - pos_ - 1);
            pos_ = end + 1;
            return true;
          }
        }
      }
    }
    pos_ = start;
    return false;
  };
  std::string_view value;
  if (!pseudo_attribute("version", value) || value != "1.0") return false;
  if (pseudo_attribute("encoding", value) && !SameIgnoringAsciiCase(value, "UTF-8")) return false;
  if (pseudo_attribute("standalone", value) && value != "yes" && value != "no") return false;
  SkipSpace();
  if (!StartsWith("?>")) return false;
  pos_ += 2;
  return true;
}

bool TPlainXmlReader::Comment() {
  pos_ += 4;
  while (pos_ < doc_.size()) {
    if (Is(doc_[pos_], PlainComment)) {
      pos_ = RunEnd(pos_ + 1, [](char c) { return Is(c, PlainComment); });
      continue;
    }
    if (StartsWith("--")) {
      if (!StartsWith("-->")) return false;
      pos_ += 3;
      return true;
    }
    const size_t length = CharLength(doc_.substr(pos_));
    if (!length) return false;
    pos_ += length;
  }
  return false;
}

// A quoted system or public id; its value goes to the strings.
bool TPlainXmlReader::Literal(bool public_id, uint32_t& offset) {
  const char quote = pos_ < doc_.size() ? doc_[pos_] : '\0';
  if (quote != '"' && quote != '\'') return false;
  const size_t end = doc_.find(quote, pos_ + 1);
  if (end == std::string_view::npos) return false;
  std::string_view value = doc_.substr(pos_ + 1, end - pos_ - 1);
  for (size_t i = 0; i < value.size();) {
    const size_t length = CharLength(value.substr(i));
    if (!length || (public_id && !IsPublicIdChar(value[i]))) return false;
    i += length;
  }
  pos_ = end + 1;
  if (!public_id) {
    offset = Store(value);
    return true;
  }
  // Public ids are reported with their space runs made one blank, trimmed.
  std::string normal;
  for (const char c : value) {
    if (!IsSpace(c))
      normal += c;
    else if (!normal.empty() && normal.back() != ' ')
      normal += ' ';
  }
  if (!normal.empty() && normal.back() == ' ') normal.pop_back();
  offset = Store(normal);
  return true;
}

// <!DOCTYPE name [SYSTEM "id" | PUBLIC "id" "id"]>, no internal subset.
bool TPlainXmlReader::Doctype() {
  pos_ += 9;
  if (!SkipSpace()) return false;
  const std::string_view name = Name();
  if (name.empty()) return false;
  uint32_t system_id = NoString, public_id = NoString;
  const bool spaced = SkipSpace() > 0;
  if (spaced && StartsWith("SYSTEM")) {
    pos_ += 6;
    if (!SkipSpace() || !Literal(false, system_id)) return false;
  } else if (spaced && StartsWith("PUBLIC")) {
    pos_ += 6;
    if (!SkipSpace() || !Literal(true, public_id) || !SkipSpace() || !Literal(false, system_id)) return false;
  }
  SkipSpace();
  if (pos_ >= doc_.size() || doc_[pos_] != '>') return false;
  // The full parser reports the declaration at its closing ">".
  events_.push_back({EEvent::Doctype, uint32_t(pos_), Store(name), 0, uint32_t(attributes_.size()), 0});
  ++pos_;
  attributes_.push_back(system_id);
  attributes_.push_back(public_id);
  return true;
}

bool TPlainXmlReader::Element() {
  std::vector<TOpenElement> open;
  if (!StartTag(open)) return false;
  while (!open.empty()) {
    if (pos_ >= doc_.size()) return false;
    bool read;
    const char next = pos_ + 1 < doc_.size() ? doc_[pos_ + 1] : '\0';
    if (doc_[pos_] != '<')
      read = Text();
    else if (next == '/')
      read = EndTag(open);
    else if (IsNameStart(next))
      read = StartTag(open);
    else if (StartsWith("<!--"))
      read = Comment();
    else
      read = false;  // CDATA sections, processing instructions
    if (!read) return false;
  }
  return true;
}

bool TPlainXmlReader::StartTag(std::vector<TOpenElement>& open) {
  TEvent start{EEvent::Start, uint32_t(pos_), 0, 0, uint32_t(attributes_.size()), 0};
  ++pos_;
  const std::string_view name = Name();
  if (name.empty()) return false;
  start.Text = Store(name);
  for (;;) {
    const bool spaced = SkipSpace() > 0;
    if (pos_ >= doc_.size()) return false;
    if (doc_[pos_] == '>') {
      ++pos_;
      events_.push_back(start);
      open.push_back({name, start.Text});
      return true;
    }
    if (StartsWith("/>")) {
      pos_ += 2;
      events_.push_back(start);
      // Reported where the tag ends.
      events_.push_back({EEvent::End, uint32_t(pos_), start.Text, 0, 0, 0});
      return true;
    }
    if (!spaced) return false;
    const std::string_view attribute = Name();
    if (attribute.empty()) return false;
    for (size_t i = start.FirstAttribute; i < attributes_.size(); i += 2)
      if (attribute == String(attributes_[i])) return false;  // given twice
    SkipSpace();
    if (pos_ >= doc_.size() || doc_[pos_] != '=') return false;
    ++pos_;
    SkipSpace();
    const uint32_t attribute_name = Store(attribute);
    const auto value = uint32_t(size_);
    if (!AttributeValue()) return false;
    Put('\0');
    attributes_.push_back(attribute_name);
    attributes_.push_back(value);
    ++start.AttributeCount;
  }
}

bool TPlainXmlReader::EndTag(std::vector<TOpenElement>& open) {
  const auto position = uint32_t(pos_);
  pos_ += 2;
  const std::string_view name = Name();
  if (name.empty() || name != open.back().Name) return false;
  SkipSpace();
  if (pos_ >= doc_.size() || doc_[pos_] != '>') return false;
  ++pos_;
  events_.push_back({EEvent::End, position, open.back().Text, 0, 0, 0});
  open.pop_back();
  return true;
}

// A value's blanks, tabs and line ends become blanks; references do not.
bool TPlainXmlReader::AttributeValue() {
  const char quote = pos_ < doc_.size() ? doc_[pos_] : '\0';
  if (quote != '"' && quote != '\'') return false;
  ++pos_;
  while (pos_ < doc_.size()) {
    if (PutRun(PlainValue)) continue;
    const char c = doc_[pos_];
    if (c == quote) {
      ++pos_;
      return true;
    }
    if (c == '<') return false;
    if (c == '&') {
      if (!Reference()) return false;
      continue;
    }
    if (c == '\r' || c == '\n' || c == '\t') {
      Put(' ');
      pos_ += StartsWith("\r\n") ? 2 : 1;
      continue;
    }
    if (!PutChar()) return false;
  }
  return false;
}

// Character data up to the next markup, line ends made LF.
bool TPlainXmlReader::Text() {
  const auto text = uint32_t(size_);
  const auto position = uint32_t(pos_);
  while (pos_ < doc_.size() && doc_[pos_] != '<') {
    if (PutRun(PlainText)) continue;
    const char c = doc_[pos_];
    if (c == '&') {
      if (!Reference()) return false;
      continue;
    }
    if (c == '\r') {
      Put('\n');
      pos_ += StartsWith("\r\n") ? 2 : 1;
      continue;
    }
    if (StartsWith("]]>") || !PutChar()) return false;
  }
  if (pos_ >= doc_.size()) return false;  // the element is never closed
  const auto length = uint32_t(size_ - text);
  if (length == 0) return true;
  Put('\0');
  events_.push_back({EEvent::Text, position, text, length, 0, 0});
  return true;
}

bool TPlainXmlReader::PutRun(uint8_t byte_class) {
  const size_t run = RunEnd(pos_, [byte_class](char c) { return Is(c, byte_class); });
  if (run == pos_) return false;
  Put(doc_.substr(pos_, run - pos_));
  pos_ = run;
  return true;
}

bool TPlainXmlReader::PutChar() {
  const size_t length = CharLength(doc_.substr(pos_));
  if (!length) return false;
  Put(doc_.substr(pos_, length));
  pos_ += length;
  return true;
}

// One of the five predefined entities or a character reference.
bool TPlainXmlReader::Reference() {
  static constexpr std::pair<std::string_view, char> Predefined[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
  for (const auto& [entity, c] : Predefined) {
    if (StartsWith(entity)) {
      Put(c);
      pos_ += entity.size();
      return true;
    }
  }
  if (!StartsWith("&#")) return false;  // other entities: the full parser's
  size_t at = pos_ + 2;
  const bool hex = at < doc_.size() && doc_[at] == 'x';
  if (hex) ++at;
  const size_t digits = at;
  uint32_t code = 0;
  for (; at < doc_.size() && doc_[at] != ';'; ++at) {
    const char c = doc_[at];
    uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = uint32_t(c - '0');
    else if (hex && c >= 'a' && c <= 'f')
      digit = uint32_t(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F')
      digit = uint32_t(c - 'A' + 10);
    else
      return false;
    code = code * (hex ? 16 : 10) + digit;
    if (code > 0x10FFFF) return false;
  }
  if (at >= doc_.size() || at == digits || !IsXmlChar(code)) return false;
  size_ += EncodeUtf8(strings_.get() + size_, code);
  pos_ = at + 1;
  return true;
}

}  // namespace portico
