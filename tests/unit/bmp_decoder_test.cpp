// BMP decoding: the BMP Suite corpus (good, questionable and bad files) and
// hand-made files for the corners the corpus does not pin down.
#include "image/bmp_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "bmp_builder.h"
#include "system/errors.h"

namespace portico {
namespace {

using test::BmpSpec;
using test::BuildBmp;

const std::string kSuite = std::string(PORTICO_TEST_DATA) + "/bmpsuite/";

std::vector<uint8_t> LoadSuiteFile(const std::string& relative) {
  std::ifstream in(kSuite + relative, std::ios::binary);
  EXPECT_TRUE(in.good()) << relative;
  return {std::istreambuf_iterator<char>(in), {}};
}

TBitmap DecodeSuiteFile(const std::string& relative) { return DecodeBmp(LoadSuiteFile(relative), relative); }

const TBitmap& Reference() {
  static const TBitmap reference = DecodeSuiteFile("g/rgb24.bmp");
  return reference;
}

int Channel(uint32_t rgb, int shift) { return int((rgb >> shift) & 0xFF); }

// Largest per-channel difference of two same-sized bitmaps.
int MaxChannelDifference(const TBitmap& a, const TBitmap& b) {
  int worst = 0;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(Channel(a.Pixel(x, y), shift) - Channel(b.Pixel(x, y), shift)));
  return worst;
}

// Largest difference of 8x8 block averages, per channel: dithered pictures
// with few colours still average out to the reference. `rowStep` compares a
// picture stored at a fraction of the height.
double MaxBlockDifference(const TBitmap& picture, const TBitmap& reference, int rowStep) {
  double worst = 0;
  for (int32_t by = 0; by + 8 <= picture.Height(); by += 8)
    for (int32_t bx = 0; bx + 8 <= picture.Width(); bx += 8)
      for (int shift : {0, 8, 16}) {
        int sum = 0;
        for (int32_t y = by; y < by + 8; ++y)
          for (int32_t x = bx; x < bx + 8; ++x)
            sum += Channel(picture.Pixel(x, y), shift) - Channel(reference.Pixel(x, y * rowStep), shift);
        worst = std::max(worst, std::abs(sum) / 64.0);
      }
  return worst;
}

// ---- Good files: all show the reference picture -------------------------

enum class Match {
  Exact,       // pixel for pixel the reference
  Channels,    // each channel within `Tolerance` (16-bit quantisation)
  Blocks,      // 8x8 block averages within `Tolerance` (few-colour dithering)
  SameAs,      // pixel for pixel the top-left of `Other` (same format, other layout)
  PaletteOnly  // only the palette's colours, at least two of them
};

struct GoodCase {
  const char* File;
  Match How;
  double Tolerance = 0;
  const char* Other = nullptr;
};

void PrintTo(const GoodCase& c, std::ostream* os) { *os << c.File; }

class GoodBmpFile : public testing::TestWithParam<GoodCase> {};

TEST_P(GoodBmpFile, ShowsTheReferencePicture) {
  const GoodCase& c = GetParam();
  const std::string file = std::string("g/") + c.File;
  const TBitmap bitmap = DecodeSuiteFile(file);
  const TBitmap& reference = Reference();
  if (c.How != Match::SameAs && std::string(c.File) != "pal8nonsquare.bmp") {
    ASSERT_EQ(bitmap.Width(), 127);
    ASSERT_EQ(bitmap.Height(), 64);
  }
  switch (c.How) {
    case Match::Exact: EXPECT_EQ(MaxChannelDifference(bitmap, reference), 0); break;
    case Match::Channels: EXPECT_LE(MaxChannelDifference(bitmap, reference), c.Tolerance); break;
    case Match::Blocks:
      EXPECT_LE(MaxBlockDifference(bitmap, reference, 64 / bitmap.Height()), c.Tolerance);
      break;
    case Match::SameAs: {
      const TBitmap other = DecodeSuiteFile(std::string("g/") + c.Other);
      ASSERT_LE(bitmap.Width(), other.Width());
      ASSERT_LE(bitmap.Height(), other.Height());
      for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x)
          ASSERT_EQ(bitmap.Pixel(x, y), other.Pixel(x, y)) << "at " << x << "," << y;
      break;
    }
    case Match::PaletteOnly: {
      const BmpRaster raster = ReadBmpRaster(LoadSuiteFile(file), file);
      const std::set<uint32_t> palette(raster.Palette.begin(), raster.Palette.end());
      std::set<uint32_t> used;
      for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x) used.insert(bitmap.Pixel(x, y));
      EXPECT_GE(used.size(), 2u);
      for (uint32_t colour : used) EXPECT_TRUE(palette.count(colour)) << std::hex << colour;
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    BmpSuite, GoodBmpFile,
    testing::Values(GoodCase{"rgb24.bmp", Match::Exact}, GoodCase{"rgb24pal.bmp", Match::Exact},
                    GoodCase{"rgb32.bmp", Match::Exact}, GoodCase{"rgb32bf.bmp", Match::Exact},
                    GoodCase{"rgb32bfdef.bmp", Match::Exact},
                    // 5 and 6 bits per channel, scaled to 8 with rounding: at most half a step off.
                    GoodCase{"rgb16.bmp", Match::Channels, 4}, GoodCase{"rgb16bfdef.bmp", Match::Channels, 4},
                    GoodCase{"rgb16-565.bmp", Match::Channels, 4},
                    GoodCase{"rgb16-565pal.bmp", Match::Channels, 4}, GoodCase{"pal8.bmp", Match::Blocks, 10},
                    GoodCase{"pal8nonsquare.bmp", Match::Blocks, 10}, GoodCase{"pal4.bmp", Match::Blocks, 75},
                    GoodCase{"pal8-0.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal8os2.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal8rle.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal8topdown.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal8v4.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal8v5.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal8w124.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal8w125.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal8w126.bmp", Match::SameAs, 0, "pal8.bmp"},
                    GoodCase{"pal4rle.bmp", Match::SameAs, 0, "pal4.bmp"},
                    GoodCase{"pal1.bmp", Match::PaletteOnly}, GoodCase{"pal1bg.bmp", Match::PaletteOnly},
                    GoodCase{"pal1wb.bmp", Match::PaletteOnly}, GoodCase{"pal4gs.bmp", Match::PaletteOnly},
                    GoodCase{"pal8gs.bmp", Match::PaletteOnly}),
    [](const testing::TestParamInfo<GoodCase>& info) {
      std::string name = info.param.File;
      name = name.substr(0, name.find('.'));
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

// Lists the files of one corpus folder.
std::vector<std::string> SuiteFiles(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(kSuite + folder))
    files.push_back(folder + "/" + entry.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(BmpSuiteCorpus, EveryGoodFileHasItsCase) {
  // A file added to g/ without a case here would go untested.
  EXPECT_EQ(SuiteFiles("g").size(), 27u);
}

// ---- Every corpus file: decodes or fails cleanly, both ways agree -------

class AnyBmpFile : public testing::TestWithParam<std::string> {};

// The raster path (used for window masks) and the direct path agree pixel
// for pixel, or both refuse the file.
TEST_P(AnyBmpFile, RasterAndDirectDecodeAgree) {
  const std::vector<uint8_t> data = LoadSuiteFile(GetParam());
  TBitmap bitmap;
  try {
    bitmap = DecodeBmp(data, GetParam());
  } catch (const EImageError& e) {
    EXPECT_EQ(e.File(), GetParam());
    EXPECT_FALSE(e.Reason().empty());
    EXPECT_THROW(ReadBmpRaster(data, GetParam()), EImageError);
    return;
  }
  const BmpRaster raster = ReadBmpRaster(data, GetParam());
  ASSERT_EQ(raster.Width, bitmap.Width());
  ASSERT_EQ(raster.Height, bitmap.Height());
  ASSERT_EQ(raster.Samples.size(), size_t(bitmap.Width()) * size_t(bitmap.Height()));
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    for (int32_t x = 0; x < bitmap.Width(); ++x)
      ASSERT_EQ(BmpSampleToRgb(raster, raster.Samples[size_t(y) * size_t(bitmap.Width()) + size_t(x)]),
                bitmap.Pixel(x, y))
          << "at " << x << "," << y;
}

// Decoding only some areas gives what decoding all and cutting gives:
// the same pixels kept, the same black elsewhere, the same refusals.
TEST_P(AnyBmpFile, DecodingOnlyKeptAreasMatchesCuttingTheWholeImage) {
  const std::vector<uint8_t> data = LoadSuiteFile(GetParam());
  // Overlapping, touching, one-pixel, reaching outside, and empty areas.
  const std::vector<TRect> keep{{1, 1, 9, 5}, {6, 3, 20, 12}, {20, 3, 24, 4}, {0, 30, 1, 31},
                                {-5, 50, 200, 70}, {40, 10, 40, 90}};
  TBitmap whole;
  try {
    whole = DecodeBmp(data, GetParam());
  } catch (const EImageError&) {
    EXPECT_THROW(DecodeBmp(data, GetParam(), &keep), EImageError);
    return;
  }
  whole.KeepOnly(keep);
  const TBitmap kept = DecodeBmp(data, GetParam(), &keep);
  ASSERT_EQ(kept.Width(), whole.Width());
  ASSERT_EQ(kept.Height(), whole.Height());
  EXPECT_EQ(kept.Sparse(), whole.Sparse());
  for (int32_t y = 0; y < kept.Height(); ++y)
    for (int32_t x = 0; x < kept.Width(); ++x)
      ASSERT_EQ(kept.Pixel(x, y), whole.Pixel(x, y)) << "at " << x << "," << y;
}

class QuestionableBmpFile : public testing::TestWithParam<std::string> {};

// Questionable files: read sensibly or refused, never anything else.
TEST_P(QuestionableBmpFile, DecodesAtTheSuiteSizeOrRefuses) {
  try {
    const TBitmap bitmap = DecodeBmp(LoadSuiteFile(GetParam()), GetParam());
    EXPECT_EQ(bitmap.Width(), 127);
    EXPECT_EQ(bitmap.Height(), 64);
  } catch (const EImageError&) {
    SUCCEED();
  }
}

std::string FileTestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.find('.'));
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Good, AnyBmpFile, testing::ValuesIn(SuiteFiles("g")), FileTestName);
INSTANTIATE_TEST_SUITE_P(Questionable, AnyBmpFile, testing::ValuesIn(SuiteFiles("q")), FileTestName);
INSTANTIATE_TEST_SUITE_P(Bad, AnyBmpFile, testing::ValuesIn(SuiteFiles("b")), FileTestName);
INSTANTIATE_TEST_SUITE_P(Questionable, QuestionableBmpFile, testing::ValuesIn(SuiteFiles("q")), FileTestName);

class BadBmpFile : public testing::TestWithParam<std::string> {};

// Bad files fail with EImageError or decode (partially) at their stated size.
TEST_P(BadBmpFile, FailsCleanlyOrDecodesPartially) {
  const std::vector<uint8_t> data = LoadSuiteFile(GetParam());
  try {
    const TBitmap bitmap = DecodeBmp(data, GetParam());
    EXPECT_EQ(bitmap.Width(), 127);
    EXPECT_EQ(bitmap.Height(), 64);
  } catch (const EImageError& e) {
    EXPECT_EQ(e.File(), GetParam());
  }
}

INSTANTIATE_TEST_SUITE_P(Bad, BadBmpFile, testing::ValuesIn(SuiteFiles("b")), FileTestName);

struct RefusedCase {
  const char* File;
  const char* Reason;  // part of the message
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.File; }

class RefusedBmpFile : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedBmpFile, FailsWithAClearReason) {
  const std::string file = GetParam().File;
  try {
    DecodeBmp(LoadSuiteFile(file), file);
    FAIL() << file << " decoded";
  } catch (const EImageError& e) {
    EXPECT_NE(e.Reason().find(GetParam().Reason), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(BmpSuite, RefusedBmpFile,
                         testing::Values(RefusedCase{"b/badbitcount.bmp", "bit count 30000"},
                                         RefusedCase{"b/badheadersize.bmp", "header size 66"},
                                         RefusedCase{"b/badplanes.bmp", "plane count 30000"},
                                         RefusedCase{"b/badwidth.bmp", "width -127"},
                                         RefusedCase{"b/reallybig.bmp", "image too large: 3000000 x 2000000"},
                                         RefusedCase{"b/rletopdown.bmp", "top-down RLE"},
                                         RefusedCase{"b/shortfile.bmp", "truncated pixel data"},
                                         RefusedCase{"q/rgb24jpeg.bmp", "compression 4"},
                                         RefusedCase{"q/rgb24png.bmp", "compression 5"},
                                         RefusedCase{"q/rgb24rle24.bmp", "compression 4"},
                                         RefusedCase{"q/pal1huffmsb.bmp", "compression 3"},
                                         RefusedCase{"q/rgba64.bmp", "bit count 64"}),
                         [](const testing::TestParamInfo<RefusedCase>& info) {
                           std::string name = info.param.File;
                           name = name.substr(2, name.find('.') - 2);
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// Questionable files with unusual headers, offsets, palettes or masks that
// still hold the reference picture.
class QuestionableButReadable : public testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(QuestionableButReadable, ShowsTheReferencePicture) {
  const std::string file = std::string("q/") + GetParam().first;
  const bool palette = file.find("pal8") != std::string::npos;
  const TBitmap expected = palette ? DecodeSuiteFile("g/pal8.bmp") : Reference();
  const TBitmap bitmap = DecodeSuiteFile(file);
  ASSERT_EQ(bitmap.Width(), 127);
  ASSERT_EQ(bitmap.Height(), 64);
  EXPECT_LE(MaxChannelDifference(bitmap, expected), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    BmpSuite, QuestionableButReadable,
    testing::Values(
        std::pair{"pal8offs.bmp", 0}, std::pair{"pal8os2-hs.bmp", 0}, std::pair{"pal8os2-sz.bmp", 0},
        std::pair{"pal8os2sp.bmp", 0}, std::pair{"pal8os2v2.bmp", 0}, std::pair{"pal8os2v2-16.bmp", 0},
        std::pair{"pal8os2v2-40sz.bmp", 0}, std::pair{"pal8os2v2-sz.bmp", 0},
        std::pair{"pal8oversizepal.bmp", 0}, std::pair{"rgb24largepal.bmp", 0}, std::pair{"rgb24prof.bmp", 0},
        std::pair{"rgb32-xbgr.bmp", 0}, std::pair{"rgb32fakealpha.bmp", 0}, std::pair{"rgb32h52.bmp", 0},
        // Wide channels (10, 11, 18 bits) and narrow ones (3 bits: within one step of 36).
        std::pair{"rgb32-111110.bmp", 1}, std::pair{"rgb32-7187.bmp", 1}, std::pair{"rgb16-3103.bmp", 37},
        std::pair{"rgb16faketrns.bmp", 4}, std::pair{"rgba16-5551.bmp", 4}),
    [](const testing::TestParamInfo<std::pair<const char*, int>>& info) {
      std::string name = info.param.first;
      name = name.substr(0, name.find('.'));
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

TEST(BmpSuiteCorpus, PaletteIndexPastThePaletteShowsBlack) {
  const std::vector<uint8_t> data = LoadSuiteFile("b/pal8badindex.bmp");
  const BmpRaster raster = ReadBmpRaster(data, "pal8badindex");
  const TBitmap bitmap = DecodeBmp(data, "pal8badindex");
  size_t pastThePalette = 0;
  for (size_t i = 0; i < raster.Samples.size(); ++i)
    if (raster.Samples[i] >= raster.Palette.size()) {
      ++pastThePalette;
      EXPECT_EQ(bitmap.Data()[i], 0u);
    }
  EXPECT_GT(pastThePalette, 0u);
}

// ---- Hand-made files --------------------------------------------------

TEST(BmpDecoder, Reads1x1FilesOfEveryUncompressedDepth) {
  struct Case {
    uint16_t Bits;
    std::vector<uint8_t> Pixel;
    uint32_t Expected;
  };
  const std::vector<uint32_t> palette{0x000000, 0x123456, 0xABCDEF, 0xFF0000};
  for (const Case& c : {Case{1, {0x80, 0, 0, 0}, 0x123456}, Case{2, {0xC0, 0, 0, 0}, 0xFF0000},
                        Case{4, {0x20, 0, 0, 0}, 0xABCDEF}, Case{8, {3, 0, 0, 0}, 0xFF0000},
                        Case{16, {0x1F, 0x7C, 0, 0}, 0xFF00FF}, Case{24, {0x56, 0x34, 0x12, 0}, 0x123456},
                        Case{32, {0x56, 0x34, 0x12, 0x99}, 0x123456}}) {
    BmpSpec spec{.BitsPerPixel = c.Bits, .Pixels = c.Pixel};
    if (c.Bits <= 8)
      spec.Palette = std::vector<uint32_t>(palette.begin(), palette.begin() + std::min(4, 1 << c.Bits));
    const TBitmap bitmap = DecodeBmp(BuildBmp(spec), "1x1");
    ASSERT_EQ(bitmap.Width(), 1);
    ASSERT_EQ(bitmap.Height(), 1);
    EXPECT_EQ(bitmap.Pixel(0, 0), c.Expected) << c.Bits << " bits";
  }
}

TEST(BmpDecoder, LastRowMayLackItsPadding) {
  // 1x1 at 24 bits: three bytes instead of four are enough.
  const TBitmap bitmap = DecodeBmp(BuildBmp({.Pixels = {1, 2, 3}}), "short pad");
  EXPECT_EQ(bitmap.Pixel(0, 0), 0x030201u);
  EXPECT_THROW(DecodeBmp(BuildBmp({.Pixels = {1, 2}}), "short"), EImageError);
}

TEST(BmpDecoder, PlacesRowsBottomUpOrTopDown) {
  // Two rows of 1 pixel, 8-bit: stored first is index 1, then index 2.
  const std::vector<uint32_t> palette{0, 0x111111, 0x222222};
  const std::vector<uint8_t> rows{1, 0, 0, 0, 2, 0, 0, 0};
  const TBitmap bottomUp =
      DecodeBmp(BuildBmp({.Height = 2, .BitsPerPixel = 8, .Palette = palette, .Pixels = rows}), "up");
  EXPECT_EQ(bottomUp.Pixel(0, 0), 0x222222u);
  EXPECT_EQ(bottomUp.Pixel(0, 1), 0x111111u);
  const TBitmap topDown =
      DecodeBmp(BuildBmp({.Height = -2, .BitsPerPixel = 8, .Palette = palette, .Pixels = rows}), "down");
  EXPECT_EQ(topDown.Pixel(0, 0), 0x111111u);
  EXPECT_EQ(topDown.Pixel(0, 1), 0x222222u);
}

TEST(BmpDecoder, ReadsTheOs2CoreHeaderWithThreeBytePaletteEntries) {
  const TBitmap bitmap = DecodeBmp(BuildBmp({.Width = 2,
                                             .BitsPerPixel = 8,
                                             .HeaderSize = 12,
                                             .Palette = {0x010203, 0xA0B0C0},
                                             .Pixels = {1, 0, 0, 0}}),
                                   "core");
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xA0B0C0u);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0x010203u);
}

// An RLE8 stream over a 4 x 3 picture (bottom row first) and what it must produce.
const std::vector<uint32_t> kRlePalette{0, 0x111111, 0x222222, 0x333333};

TEST(BmpRle, Rle8HandlesRunsEndOfLineDeltaAndEndOfBitmap) {
  const std::vector<uint8_t> stream{
      2, 1,              // bottom row: two pixels of index 1
      0, 2, 1, 1,        // delta: one right, one up -> middle row, x = 3
      1, 3,              // one pixel of index 3
      0, 0,              // end of line -> top row, x = 0
      0, 3, 3, 2, 1, 0,  // absolute run of three, padded to even
      0, 1,              // end of bitmap
      4, 2,              // after the end: ignored
  };
  const BmpRaster raster = ReadBmpRaster(BuildBmp({.Width = 4,
                                                   .Height = 3,
                                                   .BitsPerPixel = 8,
                                                   .Compression = 1,
                                                   .Palette = kRlePalette,
                                                   .Pixels = stream}),
                                         "rle8");
  EXPECT_EQ(raster.Samples, (std::vector<uint32_t>{3, 2, 1, 0,     // top
                                                   0, 0, 0, 3,     // middle
                                                   1, 1, 0, 0}));  // bottom
}

TEST(BmpRle, Rle4AlternatesNibblesAndPadsAbsoluteRuns) {
  const std::vector<uint8_t> stream{5, 0x12,              // 1 2 1 2 1
                                    0, 0,                 // end of line
                                    0, 3,    0x32, 0x10,  // absolute: 3 2 1 (two bytes, already even)
                                    0, 1};
  const BmpRaster raster = ReadBmpRaster(BuildBmp({.Width = 5,
                                                   .Height = 2,
                                                   .BitsPerPixel = 4,
                                                   .Compression = 2,
                                                   .Palette = kRlePalette,
                                                   .Pixels = stream}),
                                         "rle4");
  EXPECT_EQ(raster.Samples, (std::vector<uint32_t>{3, 2, 1, 0, 0, 1, 2, 1, 2, 1}));
}

TEST(BmpRle, RunsPastTheRowEndAreClippedNotWrapped) {
  const std::vector<uint8_t> stream{200, 1, 0, 3, 2, 2, 2, 0, 0, 2, 250, 1, 9, 3, 0, 1};
  const TBitmap bitmap = DecodeBmp(BuildBmp({.Width = 2,
                                             .Height = 2,
                                             .BitsPerPixel = 8,
                                             .Compression = 1,
                                             .Palette = kRlePalette,
                                             .Pixels = stream}),
                                   "rle overrun");
  EXPECT_EQ(bitmap.Pixel(0, 1), 0x111111u);
  EXPECT_EQ(bitmap.Pixel(1, 1), 0x111111u);
  // The top row was never reached by a run inside the picture.
  EXPECT_EQ(bitmap.Pixel(0, 0), 0u);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0u);
}

TEST(BmpRle, StreamCutShortKeepsWhatItDrew) {
  // An absolute run of 8 with only 3 bytes left, no end of bitmap.
  const std::vector<uint8_t> stream{0, 8, 1, 2, 3};
  const BmpRaster raster = ReadBmpRaster(BuildBmp({.Width = 8,
                                                   .Height = 1,
                                                   .BitsPerPixel = 8,
                                                   .Compression = 1,
                                                   .Palette = kRlePalette,
                                                   .Pixels = stream}),
                                         "cut");
  EXPECT_EQ(raster.Samples, (std::vector<uint32_t>{1, 2, 3, 0, 0, 0, 0, 0}));
}

TEST(BmpDecoder, RefusesBadHeadersWithReasons) {
  struct Case {
    BmpSpec Spec;
    const char* Reason;
  };
  const std::vector<Case> cases{
      {{.Width = 50000, .Height = 50000}, "image too large: 50000 x 50000"},
      {{.Width = 16384, .Height = 16385}, "image too large"},
      // Within the limits but without the data: refused before allocating.
      {{.Width = 16384, .Height = -16384, .Pixels = {1, 2, 3}}, "truncated pixel data"},
      {{.Width = -1}, "bad width -1"},
      {{.Height = INT32_MIN}, "bad height"},
      {{.BitsPerPixel = 7}, "bit count 7"},
      {{.Compression = 4, .Pixels = {0xFF, 0xD8}}, "compression 4"},
      {{.Compression = 9}, "compression 9"},
      {{.BitsPerPixel = 24, .Compression = 1}, "RLE8"},
      {{.BitsPerPixel = 24, .Compression = 3, .Masks = {0xFF, 0xFF00, 0xFF0000}}, "bit fields"},
      {{.BitsPerPixel = 16, .Compression = 3, .Masks = {0, 0, 0}, .Pixels = {0, 0}}, "empty colour masks"},
      {{.BitsPerPixel = 8, .Pixels = {0}}, "missing colour palette"},
      {{.HeaderSize = 100}, "header size 100"},
  };
  for (const Case& c : cases) {
    try {
      DecodeBmp(BuildBmp(c.Spec), "hand.bmp");
      ADD_FAILURE() << "decoded; expected " << c.Reason;
    } catch (const EImageError& e) {
      EXPECT_EQ(e.File(), "hand.bmp");
      EXPECT_NE(e.Reason().find(c.Reason), std::string::npos) << e.Reason() << " / " << c.Reason;
    }
  }
}

TEST(BmpDecoder, RefusesFilesCutInsideTheHeaders) {
  const std::vector<uint8_t> whole = BuildBmp({.BitsPerPixel = 8, .Palette = {0, 1}, .Pixels = {1, 0, 0, 0}});
  // Any prefix that ends before the pixel data fails, none crashes.
  for (size_t size = 0; size < whole.size() - 4; ++size) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + ptrdiff_t(size));
    EXPECT_THROW(DecodeBmp(cut, "cut"), EImageError) << size << " bytes";
  }
  EXPECT_THROW(DecodeBmp(std::vector<uint8_t>{'G', 'I', 'F', '8'}, "gif"), EImageError);
}

TEST(BmpDecoder, HonoursThePixelDataOffset) {
  std::vector<uint8_t> file = BuildBmp({.Pixels = {1, 2, 3, 0}});
  // Move the pixels 8 bytes further, with a gap of junk in between.
  file.insert(file.begin() + 54, {9, 9, 9, 9, 9, 9, 9, 9});
  file[10] = 54 + 8;
  EXPECT_EQ(DecodeBmp(file, "gap").Pixel(0, 0), 0x030201u);
  file[10] = 20;  // inside the header
  EXPECT_THROW(DecodeBmp(file, "inside"), EImageError);
  file[10] = 0xFF, file[11] = 0xFF;  // past the end
  EXPECT_THROW(DecodeBmp(file, "past"), EImageError);
}

// ---- Raster samples, palette and masks (window masks read these) --------

TEST(BmpRaster, EightBitKeepsIndicesAndPalette) {
  const BmpRaster raster = ReadBmpRaster(
      BuildBmp({.Width = 3, .BitsPerPixel = 8, .Palette = {0x102030, 0x405060}, .Pixels = {1, 0, 7, 0}}),
      "8");
  EXPECT_EQ(raster.BitsPerPixel, 8);
  EXPECT_EQ(raster.Palette, (std::vector<uint32_t>{0x102030, 0x405060}));
  EXPECT_EQ(raster.Samples, (std::vector<uint32_t>{1, 0, 7}));
  EXPECT_EQ(BmpSampleToRgb(raster, 1), 0x405060u);
  EXPECT_EQ(BmpSampleToRgb(raster, 7), 0u);  // past the palette: black
  EXPECT_EQ(raster.RedMask | raster.GreenMask | raster.BlueMask | raster.AlphaMask, 0u);
}

TEST(BmpRaster, PaletteSizeFollowsClrUsedClampedToTheFile) {
  // biClrUsed says 300; only 3 entries lie before the pixels.
  const BmpRaster raster = ReadBmpRaster(
      BuildBmp({.BitsPerPixel = 8, .Palette = {1, 2, 3}, .ClrUsed = 300, .Pixels = {2, 0, 0, 0}}), "pal");
  EXPECT_EQ(raster.Palette.size(), 3u);
  EXPECT_EQ(BmpSampleToRgb(raster, raster.Samples[0]), 3u);
}

TEST(BmpRaster, SixteenBitDefaultsTo555AndScalesToFullRange) {
  // Words: white, pure red, half green (16 of 31).
  const BmpRaster raster = ReadBmpRaster(
      BuildBmp({.Width = 3, .BitsPerPixel = 16, .Pixels = {0xFF, 0x7F, 0x00, 0x7C, 0x00, 0x02, 0, 0}}),
      "555");
  EXPECT_EQ(raster.RedMask, 0x7C00u);
  EXPECT_EQ(raster.GreenMask, 0x03E0u);
  EXPECT_EQ(raster.BlueMask, 0x001Fu);
  EXPECT_EQ(raster.Samples, (std::vector<uint32_t>{0x7FFF, 0x7C00, 0x0200}));
  EXPECT_EQ(BmpSampleToRgb(raster, 0x7FFF), 0xFFFFFFu);
  EXPECT_EQ(BmpSampleToRgb(raster, 0x7C00), 0xFF0000u);
  EXPECT_EQ(BmpSampleToRgb(raster, 0x0200), 0x008400u);  // 16 * 255 / 31 = 131.6
}

TEST(BmpRaster, SixteenBit565FromBitFields) {
  const BmpRaster raster = ReadBmpRaster(BuildBmp({.BitsPerPixel = 16,
                                                   .Compression = 3,
                                                   .Masks = {0xF800, 0x07E0, 0x001F},
                                                   .Pixels = {0xE0, 0x07, 0, 0}}),
                                         "565");
  EXPECT_EQ(raster.GreenMask, 0x07E0u);
  EXPECT_EQ(raster.Samples[0], 0x07E0u);
  EXPECT_EQ(BmpSampleToRgb(raster, 0x07E0), 0x00FF00u);
  EXPECT_EQ(BmpSampleToRgb(raster, 0xF81F), 0xFF00FFu);
  EXPECT_EQ(BmpSampleToRgb(raster, 0x0020), 0x000400u);  // 1 * 255 / 63 = 4.05
}

TEST(BmpRaster, TwentyFourBitSamplesAreRgb) {
  const BmpRaster raster = ReadBmpRaster(BuildBmp({.Width = 2, .Pixels = {1, 2, 3, 4, 5, 6, 0, 0}}), "24");
  EXPECT_EQ(raster.Samples, (std::vector<uint32_t>{0x030201, 0x060504}));
  EXPECT_TRUE(raster.Palette.empty());
}

TEST(BmpRaster, ThirtyTwoBitKeepsTheRawWordAndMasks) {
  const BmpRaster plain = ReadBmpRaster(BuildBmp({.BitsPerPixel = 32, .Pixels = {1, 2, 3, 0x80}}), "32");
  EXPECT_EQ(plain.Samples[0], 0x80030201u);
  EXPECT_EQ(plain.RedMask, 0xFF0000u);
  EXPECT_EQ(plain.AlphaMask, 0u);
  EXPECT_EQ(BmpSampleToRgb(plain, plain.Samples[0]), 0x030201u);

  // BI_ALPHABITFIELDS after a 40-byte header: four masks, here RGBA byte order.
  const std::vector<uint8_t> alpha = BuildBmp({.BitsPerPixel = 32,
                                               .Compression = 6,
                                               .Masks = {0xFF000000, 0xFF0000, 0xFF00, 0xFF},
                                               .Pixels = {0x40, 0x30, 0x20, 0x10}});
  const BmpRaster raster = ReadBmpRaster(alpha, "abf");
  EXPECT_EQ(raster.AlphaMask, 0xFFu);
  EXPECT_EQ(raster.Samples[0], 0x10203040u);
  EXPECT_EQ(DecodeBmp(alpha, "abf").Pixel(0, 0), 0x102030u);

  // V5 header carries its masks inside.
  const std::vector<uint8_t> v5 = BuildBmp({.BitsPerPixel = 32,
                                            .Compression = 3,
                                            .HeaderSize = 124,
                                            .Masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000},
                                            .Pixels = {1, 2, 3, 4}});
  EXPECT_EQ(DecodeBmp(v5, "v5").Pixel(0, 0), 0x010203u);
  EXPECT_EQ(ReadBmpRaster(v5, "v5").AlphaMask, 0xFF000000u);
}

}  // namespace
}  // namespace portico
