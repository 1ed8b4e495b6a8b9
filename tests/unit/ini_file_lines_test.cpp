// Where the profile-file reader finds things: the lines its answers come
// from, by the same rules as the answers themselves.
#include <gtest/gtest.h>

#include "classlib/ini_file.h"

namespace portico {
namespace {

TEST(IniFileLines, SectionAndKeyLinesAreThoseTheAnswersComeFrom) {
  const TIniFile ini = TIniFile::FromText(
      "; comment\n"  // 1
      "[Screen]\n"   // 2
      "Normal=a\n"   // 3
      "normal=b\n"   // 4: a second key of the name is never read
      "\n"           // 5
      "[Other]\r\n"  // 6
      "Mask=c\r"     // 7
      "no equals\n"  // 8
      "[SCREEN]\n"   // 9: a second section of the name is never read
      "Over=d\n");   // 10
  EXPECT_EQ(ini.SectionLine("SCREEN"), 2);
  EXPECT_EQ(ini.SectionLine("missing"), 0);
  EXPECT_EQ(ini.KeyLine("screen", "NORMAL"), 3);
  EXPECT_EQ(ini.ReadString("screen", "NORMAL", ""), "a");
  EXPECT_EQ(ini.KeyLine("Other", "mask"), 7);
  EXPECT_EQ(ini.KeyLine("Screen", "Mask"), 0);  // in another section
  EXPECT_EQ(ini.KeyLine("Screen", "Over"), 0);  // only in the unread second section
  EXPECT_EQ(ini.ReadString("Screen", "Over", "none"), "none");

  using K = TIniFile::TLineInfo;
  std::vector<std::pair<int, K::TKind>> kinds;
  ini.VisitLines([&](const K& line) {
    kinds.emplace_back(line.Number, line.Kind);
    return true;
  });
  EXPECT_EQ(kinds, (std::vector<std::pair<int, K::TKind>>{{1, K::Comment},
                                                          {2, K::Section},
                                                          {3, K::Key},
                                                          {4, K::Key},
                                                          {5, K::Blank},
                                                          {6, K::Section},
                                                          {7, K::Key},
                                                          {8, K::Ignored},
                                                          {9, K::Section},
                                                          {10, K::Key}}));
}

TEST(IniFileLines, Utf16FilesCountTheirLinesAfterDecoding) {
  std::string wide = "\xFF\xFE";
  for (char c : std::string("[A]\r\nk=v\r\n")) wide += std::string{c, '\0'};
  const TIniFile ini = TIniFile::FromText(wide);
  EXPECT_EQ(ini.Encoding(), TIniFile::TEncoding::Utf16Le);
  EXPECT_EQ(ini.KeyLine("A", "k"), 2);
  EXPECT_EQ(TIniFile::FromText("[A]\n").Encoding(), TIniFile::TEncoding::EightBit);
}

}  // namespace
}  // namespace portico
