// The profile-file (INI) reader, with the platform reader's rules.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace portico {

// Reads an INI file once and answers value and key-list queries the way
// the platform's profile-file reader does: case-insensitive names, first
// section of a name and first key win, one pair of surrounding quotes
// stripped, values cut at 2047 characters and key lists at 16384 bytes.
// The text is 8-bit or UTF-8, or UTF-16 in either byte order after its
// byte-order mark; a UTF-8 byte-order mark is skipped.
class TIniFile {
 public:
  // A file that does not exist or cannot be read reads as empty. The name
  // is resolved like every skin file name (see ResolvePath).
  explicit TIniFile(const std::string& path);
  // From text already in memory (tests, fuzzing).
  static TIniFile FromText(const std::string& text);

  // The value, or `def` when the section or key is absent.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  // The key names of a section in file order, duplicates included.
  void ReadSection(const std::string& section, std::vector<std::string>& keys) const;

  // The same queries with an explicit buffer size in characters (the
  // platform reader's nSize): a value gets at most size - 1 characters,
  // a key list is cut at size - 2 characters counting a zero per name.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def, size_t size) const;
  std::vector<std::string> ReadSectionKeys(const std::string& section, size_t size) const;

  static constexpr size_t ValueBufferSize = 2048;
  static constexpr size_t SectionBufferSize = 16384;

  // Where the reader finds things, for tools that explain a description.
  // One line as the reader classifies it; the views point into Text().
  struct TLineInfo {
    enum TKind { Blank, Comment, Ignored, Section, Key } Kind = Blank;
    int Number = 0;          // from 1
    std::string_view Name;   // section or key name, trimmed
    std::string_view Value;  // key value, trimmed, quotes still on
    std::string_view Text;   // the whole line
  };
  // Calls visit for every line in file order until it returns false.
  void VisitLines(const std::function<bool(const TLineInfo&)>& visit) const;
  // The line of the section header whose body the queries for `section`
  // read; 0 when there is none.
  int SectionLine(const std::string& section) const;
  // The line whose value ReadString(section, key) returns; 0 when it
  // returns the default.
  int KeyLine(const std::string& section, const std::string& key) const;

  // How the file's bytes were taken (by its byte-order mark; 8-bit text
  // without one), and the text that came of them.
  enum class TEncoding { EightBit, Utf8, Utf16Le, Utf16Be };
  TEncoding Encoding() const { return encoding_; }
  const std::string& Text() const { return text_; }

 private:
  TIniFile() = default;
  static constexpr size_t NoSection = ~size_t{0};
  // Offset of the body of the first section of that name, or null when the
  // file has none.
  const size_t* SectionBody(const std::string& section) const;
  // The line number of the first line of a section's body; 0 when absent.
  int BodyLine(const std::string& section) const;

  std::string text_;
  TEncoding encoding_ = TEncoding::EightBit;
  // Section bodies found so far, by lower-case name (NoSection: absent).
  mutable std::unordered_map<std::string, size_t> sections_;
  // Line numbers of section bodies asked for, by body offset.
  mutable std::unordered_map<size_t, int> body_lines_;
};

}  // namespace portico
