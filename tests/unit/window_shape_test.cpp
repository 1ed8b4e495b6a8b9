// The window's outline from a mask: rectangle lists worked out by hand for
// each pixel format, and reading mask files end to end.
#include "app/window_shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "png_builder.h"
#include "posix_compat.h"

namespace portico {
namespace {

constexpr TColor White = 0xFFFFFF;

// Builds a 24-bit raster from rows of text: '.' is white, '#' is black.
BmpRaster Raster24(const std::vector<std::string>& rows) {
  BmpRaster r;
  r.Width = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
  r.Height = static_cast<int32_t>(rows.size());
  r.BitsPerPixel = 24;
  for (const std::string& row : rows)
    for (char c : row) r.Samples.push_back(c == '.' ? 0xFFFFFFu : 0x000000u);
  return r;
}

// Builds a one-row raster from raw samples at the given format.
BmpRaster RowOf(int bits, std::vector<uint32_t> samples) {
  BmpRaster r;
  r.Width = static_cast<int32_t>(samples.size());
  r.Height = 1;
  r.BitsPerPixel = bits;
  r.Samples = std::move(samples);
  return r;
}

// The rectangles one row high for runs [left, right) in row `y`.
std::vector<TRect> Runs(int32_t y, std::vector<std::pair<int32_t, int32_t>> runs) {
  std::vector<TRect> out;
  for (auto [l, r] : runs) out.push_back(TRect{l, y, r, y + 1});
  return out;
}

TEST(BuildMaskRegion, RunsPerRowTopDownLeftToRight) {
  // Runs that reach the last column include it; several runs share a row.
  MaskRegion region = BuildMaskRegion(Raster24({"..##", "#.#.", "...#", "####"}), White);
  std::vector<TRect> expected = {{2, 0, 4, 1}, {0, 1, 1, 2}, {2, 1, 3, 2},
                                 {3, 2, 4, 3}, {0, 3, 4, 4}};
  EXPECT_EQ(region.Rects, expected);
  EXPECT_EQ(region.Bound, (TRect{0, 0, 4, 4}));
}

TEST(BuildMaskRegion, SinglePixelsAtRowEdges) {
  EXPECT_EQ(BuildMaskRegion(Raster24({"#"}), White).Rects, Runs(0, {{0, 1}}));
  EXPECT_EQ(BuildMaskRegion(Raster24({"#......#"}), White).Rects, Runs(0, {{0, 1}, {7, 8}}));
  EXPECT_EQ(BuildMaskRegion(Raster24({"#.##..#.###"}), White).Rects,
            Runs(0, {{0, 1}, {2, 4}, {6, 7}, {8, 11}}));
}

TEST(BuildMaskRegion, LongRowsWithMixedColours) {
  // Window pixels of many colours and runs that start and stop at odd
  // columns, in rows longer than the scanner's blocks.
  std::vector<uint32_t> row(20, 0xFFFFFF);
  for (int x = 0; x < 8; ++x) row[x] = 0x010203u * static_cast<uint32_t>(x);
  for (int x = 16; x < 20; ++x) row[x] = 0x00FF00;
  EXPECT_EQ(BuildMaskRegion(RowOf(24, row), White).Rects, Runs(0, {{0, 8}, {16, 20}}));

  std::vector<uint32_t> tail(19, 0xFFFFFF);
  for (int x = 9; x < 19; ++x) tail[x] = static_cast<uint32_t>(x);
  EXPECT_EQ(BuildMaskRegion(RowOf(24, tail), White).Rects, Runs(0, {{9, 19}}));
}

// The runs of one row by the rule itself, pixel by pixel: a run opens on
// a window pixel and closes on a key pixel or after the last column.
std::vector<TRect> RunsByRule(const std::vector<bool>& window, int32_t y) {
  std::vector<TRect> out;
  const int32_t width = static_cast<int32_t>(window.size());
  int32_t start = -1;
  for (int32_t x = 0; x < width; ++x) {
    if (start < 0 && window[x]) start = x;
    if (start >= 0 && !window[x]) {
      out.push_back({start, y, x, y + 1});
      start = -1;
    }
    if (start >= 0 && x == width - 1) out.push_back({start, y, width, y + 1});
  }
  return out;
}

TEST(BuildMaskRegion, AgreesWithThePixelRuleOnVariedRows) {
  uint32_t seed = 12345;
  for (int32_t width : {1, 7, 8, 9, 15, 16, 17, 33, 100}) {
    for (int trial = 0; trial < 50; ++trial) {
      // Runs of random length so both long uniform stretches and single
      // pixels occur.
      std::vector<bool> window;
      bool on = (seed >> 7) & 1;
      while (static_cast<int32_t>(window.size()) < width) {
        seed = seed * 1103515245u + 12345u;
        const int32_t left = width - static_cast<int32_t>(window.size());
        const int32_t length = std::min<int32_t>(1 + static_cast<int32_t>((seed >> 16) % 12), left);
        window.insert(window.end(), static_cast<size_t>(length), on);
        on = !on;
      }
      std::vector<uint32_t> samples;
      for (bool w : window) samples.push_back(w ? 0x3300u + (seed++ & 7) : 0xFFFFFFu);
      ASSERT_EQ(BuildMaskRegion(RowOf(24, samples), White).Rects, RunsByRule(window, 0))
          << "width " << width << " trial " << trial;
    }
  }
}

TEST(BuildMaskRegion, AllKeyGivesNoRectanglesButTheFullBound) {
  MaskRegion region = BuildMaskRegion(Raster24({"...", "...", "..."}), White);
  EXPECT_TRUE(region.Rects.empty());
  EXPECT_EQ(region.Bound, (TRect{0, 0, 3, 3}));
}

TEST(BuildMaskRegion, BoundIsTheMaskSizeWhateverItCovers) {
  MaskRegion region = BuildMaskRegion(Raster24({"#..", "..."}), White);
  EXPECT_EQ(region.Bound, (TRect{0, 0, 3, 2}));
  EXPECT_EQ(region.Rects, Runs(0, {{0, 1}}));
}

TEST(BuildMaskRegion, RasterWithTooFewSamplesHasNoRectangles) {
  BmpRaster r = Raster24({"##", "##"});
  r.Samples.pop_back();
  MaskRegion region = BuildMaskRegion(r, White);
  EXPECT_TRUE(region.Rects.empty());
  EXPECT_EQ(region.Bound, (TRect{0, 0, 2, 2}));
}

TEST(BuildMaskRegion, KeyIsBgrAndPixelsAreRgb) {
  // TColor 0x0000FF is red; a red pixel is 0xFF0000.
  const TColor red = 0x0000FF;
  EXPECT_EQ(BuildMaskRegion(RowOf(24, {0xFF0000, 0x0000FF, 0xFF0000}), red).Rects,
            Runs(0, {{1, 2}}));
  BmpRaster pal = RowOf(8, {0, 1, 0});
  pal.Palette = {0xFF0000, 0x0000FF};
  EXPECT_EQ(BuildMaskRegion(pal, red).Rects, Runs(0, {{1, 2}}));
}

TEST(BuildMaskRegion, TrueColourNearWhiteIsWindow) {
  EXPECT_EQ(BuildMaskRegion(RowOf(24, {0xFFFFFF, 0xFFFFFE, 0xFEFFFF}), White).Rects,
            Runs(0, {{1, 3}}));

  BmpRaster r32 = RowOf(32, {0x00FFFFFF, 0x00FFFEFF, 0xFFFFFFFF, 0x12FFFFFF, 0xFFFFFFFE});
  r32.RedMask = 0xFF0000, r32.GreenMask = 0xFF00, r32.BlueMask = 0xFF, r32.AlphaMask = 0xFF000000;
  // Alpha or unused top bits never make a pixel part of the window.
  EXPECT_EQ(BuildMaskRegion(r32, White).Rects, Runs(0, {{1, 2}, {4, 5}}));
}

TEST(BuildMaskRegion, ThirtyTwoBitUsesTheFilesChannelLayout) {
  // Red in the low byte: TColor red (0x0000FF) is the sample 0x000000FF.
  BmpRaster r = RowOf(32, {0x000000FF, 0x00FF0000, 0xAA0000FF});
  r.RedMask = 0xFF, r.GreenMask = 0xFF00, r.BlueMask = 0xFF0000;
  EXPECT_EQ(BuildMaskRegion(r, 0x0000FF).Rects, Runs(0, {{1, 2}}));
  // Masks left at zero mean 8-8-8 with red on top.
  BmpRaster d = RowOf(32, {0x00FF0000, 0x000000FF});
  EXPECT_EQ(BuildMaskRegion(d, 0x0000FF).Rects, Runs(0, {{1, 2}}));
}

TEST(BuildMaskRegion, SixteenBitFiveFiveFive) {
  BmpRaster r = RowOf(16, {0x7FFF, 0xFFFF, 0x7FFE, 0x7BFF, 0x0000});
  r.RedMask = 0x7C00, r.GreenMask = 0x03E0, r.BlueMask = 0x001F;
  // White with or without the top bit is not window; one step off is.
  EXPECT_EQ(BuildMaskRegion(r, White).Rects, Runs(0, {{2, 5}}));
  // A reader that left the masks at zero still means 5-5-5.
  r.RedMask = r.GreenMask = r.BlueMask = 0;
  EXPECT_EQ(BuildMaskRegion(r, White).Rects, Runs(0, {{2, 5}}));
}

TEST(BuildMaskRegion, SixteenBitFiveSixFive) {
  BmpRaster r = RowOf(16, {0xFFFF, 0xFFDF, 0x7FFF, 0xF7FF});
  r.RedMask = 0xF800, r.GreenMask = 0x07E0, r.BlueMask = 0x001F;
  EXPECT_EQ(BuildMaskRegion(r, White).Rects, Runs(0, {{1, 4}}));
  // A key just below white reduces to the same 5-6-5 word as white:
  // R 0xFA>>3 = 31, G 0xFD>>2 = 63, B 0xFC>>3 = 31.
  EXPECT_EQ(BuildMaskRegion(r, 0xFCFDFA).Rects, Runs(0, {{1, 4}}));
  // A blue key: only the five blue bits are set.
  BmpRaster blue = RowOf(16, {0x001F, 0xF800});
  blue.RedMask = 0xF800, blue.GreenMask = 0x07E0, blue.BlueMask = 0x001F;
  EXPECT_EQ(BuildMaskRegion(blue, 0xFF0000).Rects, Runs(0, {{1, 2}}));
}

TEST(BuildMaskRegion, WideChannelsAreTheKeyWhereTheyShowAsIt) {
  // 2-10-10-10: 0x3FF per channel is white, and so is every raw value the
  // decoder shows as 0xFF; the mask agrees with the picture pixel by pixel.
  std::vector<uint32_t> samples;
  for (uint32_t v = 0x3F8; v <= 0x3FF; ++v)
    samples.insert(samples.end(), {0xC0000000 | v << 20 | 0x3FF << 10 | 0x3FF, 0x3FF << 20 | v << 10 | 0x3FF,
                                   0x3FF << 20 | 0x3FF << 10 | v, v << 20 | 0x200 << 10 | 0x100, v});
  BmpRaster r = RowOf(32, samples);
  r.RedMask = 0x3FF00000, r.GreenMask = 0x000FFC00, r.BlueMask = 0x000003FF, r.AlphaMask = 0xC0000000;
  for (TColor key : {White, TColor(0x4080FF), TColor(0)}) {
    std::vector<std::pair<int32_t, int32_t>> window;
    for (int32_t x = 0; x < r.Width; ++x)
      if (BmpSampleToRgb(r, r.Samples[size_t(x)]) != ColorToPixel(key)) {
        if (!window.empty() && window.back().second == x)
          window.back().second = x + 1;
        else
          window.push_back({x, x + 1});
      }
    EXPECT_EQ(BuildMaskRegion(r, key).Rects, Runs(0, window)) << std::hex << key;
  }
  // Pure white is cut away however the top bits are set.
  BmpRaster white = RowOf(32, {0xFFFFFFFF, 0x3FFFFFFF, 0x3FBFFFFF});
  white.RedMask = 0x3FF00000, white.GreenMask = 0x000FFC00, white.BlueMask = 0x000003FF;
  EXPECT_EQ(BuildMaskRegion(white, White).Rects, Runs(0, {{2, 3}}));
}

TEST(BuildMaskRegion, PalettedFormatsCompareTheEntry) {
  BmpRaster one = RowOf(1, {1, 0, 0, 1});
  one.Palette = {0x000000, 0xFFFFFF};
  EXPECT_EQ(BuildMaskRegion(one, White).Rects, Runs(0, {{1, 3}}));

  BmpRaster four = RowOf(4, {7, 7, 3, 15, 7});
  four.Palette.assign(16, 0x808080);
  four.Palette[7] = 0xFFFFFF;
  four.Palette[15] = 0xFFFFFF;
  EXPECT_EQ(BuildMaskRegion(four, White).Rects, Runs(0, {{2, 3}}));

  // Two entries are the key colour: both are outside the window.
  BmpRaster eight = RowOf(8, {200, 4, 255, 200, 9});
  eight.Palette.assign(256, 0x123456);
  eight.Palette[200] = 0xFFFFFF;
  eight.Palette[255] = 0xFFFFFF;
  EXPECT_EQ(BuildMaskRegion(eight, White).Rects, Runs(0, {{1, 2}, {4, 5}}));
}

TEST(BuildMaskRegion, IndexPastThePaletteIsBlack) {
  BmpRaster r = RowOf(8, {0, 5, 1, 300});
  r.Palette = {0xFFFFFF, 0xFFFFFF};
  EXPECT_EQ(BuildMaskRegion(r, White).Rects, Runs(0, {{1, 2}, {3, 4}}));
  // With a black key those pixels are outside the window.
  EXPECT_EQ(BuildMaskRegion(r, 0x000000).Rects, Runs(0, {{0, 1}, {2, 3}}));
}

TEST(BuildMaskRegion, IndexEqualToThePaletteSizeIsBlack) {
  // The room just past the table still holds the key colour: reading that
  // entry would cut the second pixel away.
  BmpRaster r = RowOf(1, {0, 1});
  r.Palette = {0x000000, 0xFFFFFF};
  r.Palette.pop_back();
  EXPECT_EQ(BuildMaskRegion(r, White).Rects, Runs(0, {{0, 2}}));
}

TEST(BuildMaskRegion, ListGrowsByFiftyFromTheRowCount) {
  // Two rows of 100 single-pixel runs: 200 rectangles.
  std::string row;
  for (int i = 0; i < 100; ++i) row += "#.";
  MaskRegion region = BuildMaskRegion(Raster24({row, row}), White);
  ASSERT_EQ(region.Rects.size(), 200u);
  EXPECT_EQ(region.Rects.capacity(), 2u + 4 * 50);
  EXPECT_EQ(region.Rects.back(), (TRect{198, 1, 199, 2}));
  // One run per row fits in the first allocation.
  EXPECT_EQ(BuildMaskRegion(Raster24({"#..", ".#.", "..#"}), White).Rects.capacity(), 3u);
}

// A scratch folder for mask files, removed afterwards.
class MaskFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("portico_mask_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::filesystem::path p = dir_ / name;
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }

  std::filesystem::path dir_;
};

// Appends a little-endian value of `n` bytes.
void Put(std::vector<uint8_t>& out, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A bottom-up BMP with an info header: 24-bit when `palette` is empty,
// 8-bit otherwise. `pixels` are 0x00RRGGBB or indices, top row first.
std::vector<uint8_t> MakeBmp(int w, int h, const std::vector<uint32_t>& pixels,
                             const std::vector<uint32_t>& palette = {}) {
  const int bpp = palette.empty() ? 24 : 8;
  const int stride = ((w * bpp / 8) + 3) & ~3;
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
  std::vector<uint8_t> b = {'B', 'M'};
  Put(b, offset + static_cast<uint32_t>(stride * h), 4);
  Put(b, 0, 4);
  Put(b, offset, 4);
  Put(b, 40, 4);
  Put(b, static_cast<uint32_t>(w), 4);
  Put(b, static_cast<uint32_t>(h), 4);
  Put(b, 1, 2);
  Put(b, static_cast<uint32_t>(bpp), 2);
  Put(b, 0, 4);
  Put(b, static_cast<uint32_t>(stride * h), 4);
  Put(b, 2835, 4);
  Put(b, 2835, 4);
  Put(b, static_cast<uint32_t>(palette.size()), 4);
  Put(b, 0, 4);
  for (uint32_t c : palette) Put(b, c, 4);  // B, G, R, 0 in little-endian order
  for (int y = h - 1; y >= 0; --y) {
    size_t start = b.size();
    for (int x = 0; x < w; ++x) {
      uint32_t p = pixels[static_cast<size_t>(y * w + x)];
      if (bpp == 8)
        b.push_back(static_cast<uint8_t>(p));
      else
        Put(b, p, 3);
    }
    while (b.size() - start < static_cast<size_t>(stride)) b.push_back(0);
  }
  return b;
}

TEST_F(MaskFileTest, ReadsTwentyFourBitMask) {
  const uint32_t W = 0xFFFFFF, K = 0x000000;
  std::string path = Write("mask.bmp", MakeBmp(3, 2, {W, K, K, K, W, W}));
  std::optional<MaskRegion> region = CreateMaskRegion(path, White);
  ASSERT_TRUE(region.has_value());
  EXPECT_EQ(region->Bound, (TRect{0, 0, 3, 2}));
  EXPECT_EQ(region->Rects, (std::vector<TRect>{{1, 0, 3, 1}, {0, 1, 1, 2}}));
}

TEST_F(MaskFileTest, ReadsPalettedMaskAndAllKeyMask) {
  std::string path = Write("pal.bmp", MakeBmp(5, 1, {0, 1, 1, 0, 1}, {0xFFFFFF, 0x000000}));
  std::optional<MaskRegion> region = CreateMaskRegion(path, White);
  ASSERT_TRUE(region.has_value());
  EXPECT_EQ(region->Rects, Runs(0, {{1, 3}, {4, 5}}));

  std::string blank = Write("blank.bmp", MakeBmp(4, 3, std::vector<uint32_t>(12, 0xFFFFFF)));
  region = CreateMaskRegion(blank, White);
  ASSERT_TRUE(region.has_value());
  EXPECT_TRUE(region->Rects.empty());
  EXPECT_EQ(region->Bound, (TRect{0, 0, 4, 3}));
}

TEST_F(MaskFileTest, SkinPathWithBackslashesAndOtherCase) {
  std::filesystem::create_directories(dir_ / "skin");
  Write("skin/mask.bmp", MakeBmp(2, 1, {0x000000, 0xFFFFFF}));
  std::string skin_path = dir_.string() + "/SKIN\\Mask.BMP";
  std::optional<MaskRegion> region = CreateMaskRegion(skin_path, White);
  ASSERT_TRUE(region.has_value());
  EXPECT_EQ(region->Rects, Runs(0, {{0, 1}}));
}

TEST_F(MaskFileTest, PngMaskCutsTheKeyColourAsATwentyFourBitOneDoes) {
  const uint32_t W = 0xFFFFFF, K = 0x000000;
  // Named .bmp: the content decides. Its alpha plays no part in a mask.
  std::string path = Write("mask.bmp", test::EncodeRgbaPng(3, 2, {W, K, K, K, W, 0xFFFFFE}, {255, 0, 255, 9, 255, 255}));
  std::optional<MaskRegion> region = CreateMaskRegion(path, White);
  ASSERT_TRUE(region.has_value());
  EXPECT_EQ(region->Bound, (TRect{0, 0, 3, 2}));
  EXPECT_EQ(region->Rects, (std::vector<TRect>{{1, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}));
}

TEST_F(MaskFileTest, NothingReadableGivesNoRegion) {
  EXPECT_FALSE(CreateMaskRegion("", White).has_value());
  EXPECT_FALSE(CreateMaskRegion((dir_ / "missing.bmp").string(), White).has_value());
  EXPECT_FALSE(CreateMaskRegion(dir_.string(), White).has_value());
  EXPECT_FALSE(CreateMaskRegion(Write("junk.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'}),
                                White).has_value());
  // A bitmap header cut short.
  std::vector<uint8_t> cut = MakeBmp(4, 4, std::vector<uint32_t>(16, 0));
  cut.resize(30);
  EXPECT_FALSE(CreateMaskRegion(Write("cut.bmp", cut), White).has_value());
  // A FIFO with no writer must not block.
  SKIP_WITHOUT_FIFOS();
  std::string fifo = (dir_ / "fifo.bmp").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(CreateMaskRegion(fifo, White).has_value());
}

TEST_F(MaskFileTest, SetWindowMaskShapesOrUnshapesTheWindow) {
  HeadlessWindowSystem ws;
  TApplication app(ws);
  app.Initialize();
  WindowHandle window = ws.CreateTopLevel(TopLevelSpec{}, 3, 1);
  std::string path = Write("mask.bmp", MakeBmp(3, 1, {0x000000, 0xFFFFFF, 0x000000}));

  ASSERT_TRUE(SetWindowMask(window, path, White));
  ASSERT_TRUE(ws.Find(window)->Shape.has_value());
  EXPECT_EQ(*ws.Find(window)->Shape, Runs(0, {{0, 1}, {2, 3}}));

  // A mask that cannot be read makes the window rectangular again.
  EXPECT_TRUE(SetWindowMask(window, (dir_ / "missing.bmp").string(), White));
  EXPECT_FALSE(ws.Find(window)->Shape.has_value());
  EXPECT_FALSE(SetWindowMask(0, path, White));
}

}  // namespace
}  // namespace portico
