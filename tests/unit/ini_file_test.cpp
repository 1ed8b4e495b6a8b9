// The profile-file reader: every reference vector in tests/data/ini, plus
// files that must not hurt us (missing, FIFO, huge).
#include "classlib/ini_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "posix_compat.h"

namespace portico {
namespace {

// ---- A small JSON reader, enough for vectors.json ----

struct TJson {
  enum TKind { Null, Bool, Number, String, Array, Object } Kind = Null;
  bool Flag = false;
  double Num = 0;
  std::string Str;
  std::vector<TJson> Items;
  std::vector<std::pair<std::string, TJson>> Members;

  // The member called `name`, or a null value.
  const TJson& operator[](const std::string& name) const {
    static const TJson null;
    for (const auto& m : Members)
      if (m.first == name) return m.second;
    return null;
  }
};

class TJsonReader {
 public:
  explicit TJsonReader(const std::string& text) : s_(text) {}

  // Parses the whole text; sets Failed() on any syntax error.
  TJson ReadDocument() {
    TJson v = ReadValue();
    SkipSpace();
    if (pos_ != s_.size()) failed_ = true;
    return v;
  }
  bool Failed() const { return failed_; }

 private:
  void SkipSpace() {
    while (pos_ < s_.size() && std::strchr(" \t\r\n", s_[pos_])) ++pos_;
  }
  bool Take(char c) {
    SkipSpace();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool TakeWord(const char* word) {
    size_t n = std::strlen(word);
    if (s_.compare(pos_, n, word) != 0) return false;
    pos_ += n;
    return true;
  }

  TJson ReadValue() {
    TJson v;
    SkipSpace();
    if (failed_ || pos_ >= s_.size()) {
      failed_ = true;
    } else if (s_[pos_] == '"') {
      v.Kind = TJson::String;
      v.Str = ReadString();
    } else if (Take('[')) {
      v.Kind = TJson::Array;
      if (!Take(']')) {
        do v.Items.push_back(ReadValue());
        while (!failed_ && Take(','));
        if (!Take(']')) failed_ = true;
      }
    } else if (Take('{')) {
      v.Kind = TJson::Object;
      if (!Take('}')) {
        do {
          SkipSpace();
          std::string name = ReadString();
          if (!Take(':')) failed_ = true;
          v.Members.emplace_back(std::move(name), ReadValue());
        } while (!failed_ && Take(','));
        if (!Take('}')) failed_ = true;
      }
    } else if (TakeWord("null")) {
    } else if (TakeWord("true")) {
      v.Kind = TJson::Bool;
      v.Flag = true;
    } else if (TakeWord("false")) {
      v.Kind = TJson::Bool;
    } else {
      char* end = nullptr;
      v.Kind = TJson::Number;
      v.Num = std::strtod(s_.c_str() + pos_, &end);
      if (end == s_.c_str() + pos_) failed_ = true;
      pos_ = size_t(end - s_.c_str());
    }
    return v;
  }

  unsigned ReadHex4() {
    if (pos_ + 4 > s_.size()) {
      failed_ = true;
      return 0;
    }
    unsigned v = unsigned(std::strtoul(s_.substr(pos_, 4).c_str(), nullptr, 16));
    pos_ += 4;
    return v;
  }

  static void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | cp >> 6);
      out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | cp >> 12);
      out += char(0x80 | (cp >> 6 & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | cp >> 18);
      out += char(0x80 | (cp >> 12 & 0x3F));
      out += char(0x80 | (cp >> 6 & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }

  // A string literal, with escapes (surrogate pairs included) as UTF-8.
  std::string ReadString() {
    std::string out;
    if (!Take('"')) {
      failed_ = true;
      return out;
    }
    while (pos_ < s_.size() && s_[pos_] != '"') {
      char c = s_[pos_++];
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= s_.size()) break;
      char e = s_[pos_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          unsigned cp = ReadHex4();
          if (cp >= 0xD800 && cp <= 0xDBFF && s_.compare(pos_, 2, "\\u") == 0) {
            pos_ += 2;
            unsigned low = ReadHex4();
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, cp);
          break;
        }
        default: out += e;  // \" \\ \/
      }
    }
    if (!Take('"')) failed_ = true;
    return out;
  }

  const std::string& s_;
  size_t pos_ = 0;
  bool failed_ = false;
};

// ---- Helpers ----

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TTempDir {
 public:
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "portico-ini-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TTempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
    return File(name);
  }

 private:
  std::string path_;
};

// UTF-8 text as UTF-16 code units in the given byte order.
std::string EncodeUtf16(const std::string& utf8, bool big_endian) {
  std::u32string points;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = utf8[i];
    int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < n && i + k < utf8.size(); ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
    points += cp;
    i += n;
  }
  std::string out;
  auto unit = [&](unsigned u) {
    char hi = char(u >> 8), lo = char(u & 0xFF);
    out += big_endian ? hi : lo;
    out += big_endian ? lo : hi;
  };
  for (char32_t cp : points) {
    if (cp >= 0x10000) {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      unit(unsigned(cp));
    }
  }
  return out;
}

// ---- Reference vectors ----

struct TVector {
  int Index;
  TJson Case;
};

// Names a case by its number in test listings.
void PrintTo(const TVector& v, std::ostream* os) { *os << "vector " << v.Index; }

std::vector<TVector> LoadVectors() {
  std::string text = ReadWholeFile(std::string(PORTICO_TEST_DATA) + "/ini/vectors.json");
  TJsonReader reader(text);
  TJson all = reader.ReadDocument();
  std::vector<TVector> vectors;
  if (reader.Failed()) return vectors;
  for (size_t i = 0; i < all.Items.size(); ++i) vectors.push_back({int(i), all.Items[i]});
  return vectors;
}

TEST(IniVectors, FileIsPresentAndParses) { EXPECT_GE(LoadVectors().size(), 60u); }

class IniVectorTest : public testing::TestWithParam<TVector> {};

TEST_P(IniVectorTest, ReaderAnswersAsExpected) {
  const TJson& c = GetParam().Case;
  SCOPED_TRACE(c["source"].Str);
  TTempDir dir;
  std::string path = dir.File("missing.ini");
  if (c["ini"].Kind == TJson::String) {
    const std::string& encoding = c["file_encoding"].Str;
    std::string bytes = c["ini"].Str;
    if (encoding == "utf-16le-bom") bytes = "\xFF\xFE" + EncodeUtf16(bytes, false);
    else if (encoding == "utf-16be-bom") bytes = "\xFE\xFF" + EncodeUtf16(bytes, true);
    else ASSERT_TRUE(encoding.empty()) << encoding;
    path = dir.Write("vector.ini", bytes);
  }
  const TIniFile ini(path);
  const TIniFile from_text = TIniFile::FromText(ReadWholeFile(path));
  const std::string& section = c["section"].Str;
  const size_t size = size_t(c["size"].Num);

  if (c["key"].Kind == TJson::Null) {
    std::vector<std::string> expected;
    for (const TJson& item : c["expect"].Items) expected.push_back(item.Str);
    EXPECT_EQ(ini.ReadSectionKeys(section, size), expected);
    EXPECT_EQ(from_text.ReadSectionKeys(section, size), expected);
    if (size == TIniFile::SectionBufferSize) {
      std::vector<std::string> keys = {"stale"};
      ini.ReadSection(section, keys);
      EXPECT_EQ(keys, expected);
    }
  } else {
    const std::string& key = c["key"].Str;
    const std::string& def = c["default"].Str;
    const std::string& expected = c["expect"].Str;
    EXPECT_EQ(ini.ReadString(section, key, def, size), expected);
    EXPECT_EQ(from_text.ReadString(section, key, def, size), expected);
    if (size == TIniFile::ValueBufferSize) {
      EXPECT_EQ(ini.ReadString(section, key, def), expected);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, IniVectorTest, testing::ValuesIn(LoadVectors()),
                         [](const testing::TestParamInfo<TVector>& info) {
                           return "case_" + std::to_string(info.param.Index);
                         });

// ---- Files that must not hurt the reader ----

TEST(IniFile, MissingFileAndFolderReadAsEmpty) {
  TTempDir dir;
  for (const std::string& path : {dir.File("nope.ini"), dir.File(""), std::string()}) {
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("s", "k", "def"), "def");
    EXPECT_TRUE(ini.ReadSectionKeys("s", TIniFile::SectionBufferSize).empty());
  }
}

TEST(IniFile, FifoIsNotReadAndDoesNotBlock) {
  SKIP_WITHOUT_FIFOS();
  TTempDir dir;
  std::string fifo = dir.File("pipe.ini");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // With no writer, a blocking open would wait here forever.
  TIniFile ini(fifo);
  EXPECT_EQ(ini.ReadString("s", "k", "def"), "def");
}

TEST(IniFile, OnlyTheFirst64MiBAreRead) {
  TTempDir dir;
  std::string path = dir.Write("big.ini", "[a]\r\nk=early\r\n");
  {
    // A sparse file: a second section lies just past the cap.
    std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(64 * 1024 * 1024 + 16);
    out << "\r\n[b]\r\nk=late\r\n";
  }
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("a", "k", "def"), "early");
  EXPECT_EQ(ini.ReadString("b", "k", "def"), "def");
}

TEST(IniFile, HugeSectionKeepsListLimitAndFindsLastKey) {
  std::string text = "[s]\r\n";
  for (int i = 0; i < 100000; ++i) text += "key" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
  text += "[t]\nother=1\n";
  TIniFile ini = TIniFile::FromText(text);

  std::vector<std::string> keys;
  ini.ReadSection("s", keys);
  size_t bytes = 0;
  for (const auto& k : keys) bytes += k.size() + 1;
  EXPECT_LE(bytes, TIniFile::SectionBufferSize - 1);  // the last name may lose its zero
  EXPECT_GT(bytes, TIniFile::SectionBufferSize - 16);
  EXPECT_EQ(keys.front(), "key0");
  EXPECT_EQ(ini.ReadString("S", "KEY99999", "def"), "v99999");
  EXPECT_EQ(ini.ReadString("t", "other", "def"), "1");
}

TEST(IniFile, Utf16IsDecodedToUtf8InEitherByteOrder) {
  // "[s]\nk=\u00e9\U0001F600\xD800x" with an unpaired high surrogate.
  for (const bool big_endian : {false, true}) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (unsigned u : {0x5Bu, 0x73u, 0x5Du, 0x0Au, 0x6Bu, 0x3Du, 0xE9u, 0xD83Du, 0xDE00u, 0xD800u, 0x78u}) {
      bytes += char(big_endian ? u >> 8 : u & 0xFF);
      bytes += char(big_endian ? u & 0xFF : u >> 8);
    }
    bytes += 'z';  // an odd byte at the end is dropped
    TIniFile ini = TIniFile::FromText(bytes);
    EXPECT_EQ(ini.ReadString("s", "k", "def"), "\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBDx") << big_endian;
  }
}

// Windows editors save descriptions with a byte-order mark: every encoding
// of one description reads exactly like the plain text, first line included.
TEST(IniFile, ByteOrderMarksOnlyTellTheEncoding) {
  const std::string text =
      "[SCREEN]\r\nNormal=n\xC3\xA9.bmp\r\n[BUTTONPOS]\r\nb1=Install,1,2,3,4\r\nb2=Exit,5,6,7,8\r\n";
  const TIniFile plain = TIniFile::FromText(text);
  const std::vector<std::string> keys = plain.ReadSectionKeys("BUTTONPOS", TIniFile::SectionBufferSize);
  ASSERT_EQ(keys, (std::vector<std::string>{"b1", "b2"}));
  TTempDir dir;
  for (const std::string& bytes : {"\xEF\xBB\xBF" + text, "\xFF\xFE" + EncodeUtf16(text, false),
                                   "\xFE\xFF" + EncodeUtf16(text, true)}) {
    SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 3)));
    const TIniFile ini(dir.Write("skin.ini", bytes));
    EXPECT_EQ(ini.ReadString("SCREEN", "Normal", "def"), "n\xC3\xA9.bmp");
    EXPECT_EQ(ini.ReadSectionKeys("BUTTONPOS", TIniFile::SectionBufferSize), keys);
    EXPECT_EQ(ini.ReadString("buttonpos", "B2", "def"), "Exit,5,6,7,8");
  }
}

TEST(IniFile, NamesMatchWithoutRegardToCaseForEveryLetter) {
  // Sections in lower case and keys in upper case, asked for the other way.
  auto lower = [](char c) { return char(c - 'A' + 'a'); };
  std::string text;
  for (char c = 'A'; c <= 'Z'; ++c) text += std::string("[s") + lower(c) + "]\nK" + c + "=" + c + "\n";
  const TIniFile ini = TIniFile::FromText(text);
  for (char c = 'A'; c <= 'Z'; ++c) {
    const std::string section = std::string("S") + c;
    EXPECT_EQ(ini.ReadString(section, std::string("k") + lower(c), "def"), std::string(1, c)) << c;
    const std::vector<std::string> keys{std::string("K") + c};
    EXPECT_EQ(ini.ReadSectionKeys(section, TIniFile::SectionBufferSize), keys) << c;
  }
}

TEST(IniFile, CutsDoNotSplitUtf8Characters) {
  TIniFile ini = TIniFile::FromText("[s]\nk=ab\xC3\xA9z\n\xC3\xA9t\xC3\xA9=1\n");
  EXPECT_EQ(ini.ReadString("s", "k", "def", 4), "ab");   // room for 3 bytes
  EXPECT_EQ(ini.ReadString("s", "k", "def", 5), "ab\xC3\xA9");
  // Budget 3 bytes after "k\0": "\xC3\xA9t" fits, cutting inside it would not.
  EXPECT_EQ(ini.ReadSectionKeys("s", 7), (std::vector<std::string>{"k", "\xC3\xA9t"}));
  EXPECT_EQ(ini.ReadSectionKeys("s", 6), (std::vector<std::string>{"k", "\xC3\xA9"}));
  EXPECT_EQ(ini.ReadSectionKeys("s", 5), std::vector<std::string>{"k"});
}

TEST(IniFile, TinyBuffersGiveEmptyAnswers) {
  TIniFile ini = TIniFile::FromText("[s]\nk=value\n");
  EXPECT_EQ(ini.ReadString("s", "k", "def", 0), "");
  EXPECT_EQ(ini.ReadString("s", "k", "def", 1), "");
  EXPECT_TRUE(ini.ReadSectionKeys("s", 2).empty());
  EXPECT_EQ(ini.ReadSectionKeys("s", 3), std::vector<std::string>{"k"});
}

TEST(IniFile, EmptyKeyNameEndsTheKeyList) {
  // A caller walking "a\0\0b\0\0" sees the empty name as the list's end.
  TIniFile ini = TIniFile::FromText("[s]\na=1\n=2\nb=3\n");
  EXPECT_EQ(ini.ReadSectionKeys("s", 100), std::vector<std::string>{"a"});
  EXPECT_EQ(ini.ReadString("s", "b", "def"), "3");
}

}  // namespace
}  // namespace portico
