// A quick reader for plain XML documents such as fontconfig's configuration
// files: elements, attributes, text, comments, the five predefined entities,
// character references, one DOCTYPE without an internal subset, and an XML
// declaration for UTF-8. It refuses anything else, and anything malformed,
// so that the caller can hand such a document to a full XML parser. What it
// accepts gives the events that parser gives, in the same order and with
// the same line numbers, except that text may come in other pieces.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace portico {

class TPlainXmlReader {
 public:
  // Larger documents are refused: their events and strings would take
  // several times their size. fontconfig's largest file is 42 KB.
  static constexpr size_t MaxDocument = size_t{1} << 20;
  // An offset that stands for a string the document does not give.
  static constexpr uint32_t NoString = UINT32_MAX;

  enum class EEvent : uint8_t { Doctype, Start, End, Text };
  struct TEvent {
    EEvent Kind;
    // Where a full parser is when it reports the event: the start of the
    // markup or text, the end of an empty element's tag for that element's
    // End, the closing ">" of a DOCTYPE. LineAt gives its line.
    uint32_t Position;
    // Offset in String(): the name (Doctype, Start, End) or the text.
    uint32_t Text;
    // Text: its length in bytes.
    uint32_t Length;
    // Start: index in Attributes() of its first name; Doctype: of its
    // system id, followed by its public id (either may be NoString).
    uint32_t FirstAttribute;
    uint32_t AttributeCount;
  };

  // Reads a whole document; false when this reader does not accept it.
  bool Read(std::string_view document);

  const std::vector<TEvent>& Events() const { return events_; }
  // Offsets into String(): a start's attribute names and values, in pairs.
  const std::vector<uint32_t>& Attributes() const { return attributes_; }
  // A NUL-terminated string the events point at.
  const char* String(uint32_t offset) const { return strings_.get() + offset; }

  // The line, from 1, of a position in the document read, which must still
  // be there. Counted on from the last position asked for: a parser's
  // handlers rarely ask, and then in document order.
  uint32_t LineAt(size_t position);

 private:
  struct TOpenElement {
    std::string_view Name;
    uint32_t Text;  // its name in the strings
  };

  void Put(char c) { strings_[size_++] = c; }
  void Put(std::string_view text) {
    std::memcpy(strings_.get() + size_, text.data(), text.size());
    size_ += text.size();
  }
  // The end of the run of bytes from START that PLAIN accepts.
  template <typename TPlain>
  size_t RunEnd(size_t start, TPlain plain) const {
    const char* data = doc_.data();
    const size_t size = doc_.size();
    while (start < size && plain(data[start])) ++start;
    return start;
  }
  // Copies the run of plain bytes of that class (see the .cpp) at the
  // position; false when there is none.
  bool PutRun(uint8_t byte_class);
  // Copies the one well-formed character at the position; false when the
  // bytes there are none.
  bool PutChar();
  bool Document();
  bool XmlDeclaration();
  bool Comment();
  bool Doctype();
  bool Element();
  bool StartTag(std::vector<TOpenElement>& open);
  bool EndTag(std::vector<TOpenElement>& open);
  bool Text();
  bool AttributeValue();
  bool Reference();
  bool Literal(bool public_id, uint32_t& offset);
  std::string_view Name();
  size_t SkipSpace();
  bool StartsWith(std::string_view text) const;
  uint32_t Store(std::string_view text);

  std::string_view doc_;
  size_t pos_ = 0;
  size_t counted_ = 0;  // LineAt has counted line ends before this offset
  bool has_cr_ = false;  // then line ends are not only LF
  uint32_t line_ = 1;
  std::vector<TEvent> events_;
  std::vector<uint32_t> attributes_;
  std::unique_ptr<char[]> strings_;
  size_t size_ = 0;
};

}  // namespace portico
