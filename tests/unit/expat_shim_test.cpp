// The quick reader fontconfig gets in expat's place must report what expat
// reports: the same events with the same line numbers, and for documents
// it does not take, expat's own errors. The system's fontconfig files must
// all be taken, or start-up loses the time the reader saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/freetype/plain_xml.h"
#include "xml_event_log.h"

namespace {

using portico_test::Describe;
using portico_test::ExpatApi;
using portico_test::ParseLikeFontconfig;
using portico_test::WrappedApi;

std::vector<std::filesystem::path> SystemFontconfigFiles() {
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"/etc/fonts", "/etc/fonts/conf.d", "/usr/share/fontconfig/conf.avail"}) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
      if (entry.path().extension() == ".conf" && entry.is_regular_file()) files.push_back(entry.path());
  }
  return files;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(ExpatShimTest, SystemFontconfigFilesAreReadQuicklyAndAsExpatReadsThem) {
  const auto files = SystemFontconfigFiles();
  ASSERT_GT(files.size(), 10u) << "fontconfig's files are not where they were expected";
  for (const auto& file : files) {
    const std::string text = ReadAll(file);
    portico::TPlainXmlReader reader;
    EXPECT_TRUE(reader.Read(text)) << file << " would go to expat";
    const auto expat = ParseLikeFontconfig(ExpatApi, text);
    const auto shim = ParseLikeFontconfig(WrappedApi, text);
    EXPECT_EQ(Describe(shim), Describe(expat)) << file;
  }
}

// Too large to be kept whole, such a document goes to expat as it comes;
// an error in it is still reported where expat reports it.
TEST(ExpatShimTest, HugeDocumentsGoToExpatPieceByPiece) {
  std::string filler;
  while (filler.size() < (size_t{17} << 20)) filler += "  <dir>/usr/share/fonts</dir>\n";
  for (const char* start : {"<fontconfig>\n", "<fontconfig>\n<a></b>\n"}) {
    const std::string whole = start + filler + "</fontconfig>\n";
    const auto expat = ParseLikeFontconfig(ExpatApi, whole);
    const auto shim = ParseLikeFontconfig(WrappedApi, whole);
    EXPECT_TRUE(shim == expat) << "expat: " << Describe({{}, expat.Ok, expat.Error, expat.ErrorLine})
                               << "shim: " << Describe({{}, shim.Ok, shim.Error, shim.ErrorLine});
  }
}

struct TCase {
  const char* Name;
  std::string Document;
  bool Quick;  // whether the quick reader takes it
};
void PrintTo(const TCase& c, std::ostream* out) { *out << c.Name; }

std::string LargeDocument() {
  std::string doc = "<?xml version=\"1.0\"?>\n<fontconfig>\n";
  for (int i = 0; i < 2000; ++i) doc += "  <alias binding=\"same\"><family>F&amp;" + std::to_string(i) + "</family></alias>\r\n";
  return doc + "</fontconfig>\n";
}

class ExpatShimCases : public testing::TestWithParam<TCase> {};

TEST_P(ExpatShimCases, ReportLikeExpat) {
  const TCase& c = GetParam();
  portico::TPlainXmlReader reader;
  EXPECT_EQ(reader.Read(c.Document), c.Quick);
  const auto expat = ParseLikeFontconfig(ExpatApi, c.Document);
  EXPECT_EQ(Describe(ParseLikeFontconfig(WrappedApi, c.Document)), Describe(expat));
  if (c.Quick) {
    EXPECT_TRUE(expat.Ok) << Describe(expat);
  }
}

const TCase Cases[] = {
    {"Plain",
     "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
     "<fontconfig>\n<!-- a\ncomment -->\n  <match target=\"font\"><edit name=\"x\" mode=\"assign\">"
     "<bool>true</bool></edit></match>\n</fontconfig>\n",
     true},
    {"LineEndsAndBlanksInTextAndValues", "<a\r\nb='1\r\n2\t3\r4'\n\r>x\r\ny\rz\n</a\r\n>\r\n", true},
    {"EmptyElementEndsWhereItsTagEnds", "<a>\n<b\n c='1'\n/>\n<c/></a>", true},
    {"References", "<a v='&lt;&#10;&#x41;&amp;&quot;'>&apos;&#233;&#x1F600;&gt;]]</a>", true},
    {"Utf8Text", "<a v='\xc3\xa9'>\xe2\x82\xac \xf0\x9f\x98\x80\x7f</a>", true},
    {"DeclarationAndDoctypeForms",
     "<?xml version='1.0' encoding='utf-8' standalone='no' ?><!--x--><!DOCTYPE a PUBLIC \" -//A  B//\n\" 's'>"
     "<a/><!--y-->\n",
     true},
    {"OtherDoctypeName", "<!DOCTYPE other>\n<a/>", true},
    {"InternalSubset", "<!DOCTYPE a [<!ENTITY e 'text'>]><a>&e;</a>", false},
    {"UndeclaredEntity", "<!DOCTYPE a SYSTEM 'x.dtd'><a>&e;</a>", false},
    {"Latin1Declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xe9</a>", false},
    {"ByteOrderMark", "\xef\xbb\xbf<a/>", false},
    {"Cdata", "<a><![CDATA[<x>]]></a>", false},
    {"ProcessingInstruction", "<a><?pi x?></a>", false},
    {"NonAsciiName", "<a><\xc3\xa9/></a>", false},
    {"MismatchedTag", "<a>\n<b>\n</a>", false},
    {"Unclosed", "<a>\n<b/>", false},
    {"DuplicateAttribute", "<a x='1' x='2'/>", false},
    {"LessThanInValue", "<a x='<'/>", false},
    {"CdataEndInText", "<a>]]></a>", false},
    {"DoubleHyphenInComment", "<a><!-- x -- y --></a>", false},
    {"BadCharacterReference", "<a>&#0;</a>", false},
    {"BadUtf8", "<a>\xc3\x28</a>", false},
    {"ControlCharacter", "<a>\x01</a>", false},
    {"TextAfterRoot", "<a/>x", false},
    {"TwoRoots", "<a/><b/>", false},
    {"NoRoot", "<!-- nothing -->", false},
    {"Empty", "", false},
    {"AttributeWithoutSpace", "<a x='1'y='2'/>", false},
    {"LargerThanOnePiece", LargeDocument(), true},
};

INSTANTIATE_TEST_SUITE_P(Documents, ExpatShimCases, testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
