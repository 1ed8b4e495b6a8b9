// The profile-file (INI) reader, with the platform reader's rules.
#pragma once
#include <string>
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

 private:
  TIniFile() = default;
  static constexpr size_t NoSection = ~size_t{0};
  // Offset of the body of the first section of that name, or null when the
  // file has none.
  const size_t* SectionBody(const std::string& section) const;

  std::string text_;
  // Section bodies found so far, by lower-case name (NoSection: absent).
  mutable std::unordered_map<std::string, size_t> sections_;
};

}  // namespace portico
