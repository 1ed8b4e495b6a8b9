// PNG decoding: every colour type and bit depth comes out as 8-bit RGB
// with the alpha the file carries, and damaged, cut-off or oversized files
// are image errors.
#include "image/png_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image_file.h"
#include "png_builder.h"
#include <zlib.h>
#include "system/errors.h"

namespace portico {
namespace {

using test::EncodeTestPng;
using test::TPngSpec;

constexpr uint32_t W = 9, H = 7;  // odd sizes: Adam7 passes with partial blocks

struct TPngCase {
  const char* Name;
  int ColorType;
  int Depth;
  bool Interlaced;
  bool Trns;
};

void PrintTo(const TPngCase& c, std::ostream* os) { *os << c.Name; }

// The raw sample of channel c at (x, y) for a file of the given depth.
uint16_t Raw(uint32_t x, uint32_t y, int c, int depth) {
  const uint32_t v8 = (x * 29 + y * 7 + uint32_t(c) * 50) & 0xFF;
  if (depth == 16) return uint16_t(v8 * 257);
  if (depth == 8) return uint16_t(v8);
  return uint16_t((x * 3 + y * 5 + uint32_t(c)) % (1u << depth));
}
// What the raw sample shows as at 8 bits.
uint8_t Shown(uint16_t raw, int depth) {
  if (depth == 16) return uint8_t(raw / 257);
  return uint8_t(raw * 255 / ((1u << depth) - 1));
}
png_color PaletteEntry(uint32_t i) { return png_color{uint8_t(i * 10), uint8_t(255 - i), uint8_t(i * 3)}; }

class PngFormats : public ::testing::TestWithParam<TPngCase> {};

TEST_P(PngFormats, DecodesToRgbWithTheFilesAlpha) {
  const TPngCase& c = GetParam();
  TPngSpec spec;
  spec.Width = W, spec.Height = H, spec.ColorType = c.ColorType, spec.Depth = c.Depth;
  spec.Interlaced = c.Interlaced;
  const int channels = test::PngChannels(c.ColorType);
  if (c.ColorType == PNG_COLOR_TYPE_PALETTE) {
    for (uint32_t i = 0; i < (1u << c.Depth); ++i) spec.Palette.push_back(PaletteEntry(i));
    if (c.Trns) spec.TransAlpha = {0, 40, 128};  // entries past these stay opaque
  }
  if (c.Trns && c.ColorType != PNG_COLOR_TYPE_PALETTE) {
    // The colour of pixel (1, 0) is transparent wherever it appears.
    spec.HasTransColor = true;
    spec.TransColor.gray = Raw(1, 0, 0, c.Depth);
    spec.TransColor.red = Raw(1, 0, 0, c.Depth), spec.TransColor.green = Raw(1, 0, 1, c.Depth);
    spec.TransColor.blue = Raw(1, 0, 2, c.Depth);
  }
  std::vector<uint16_t> samples;
  for (uint32_t y = 0; y < H; ++y)
    for (uint32_t x = 0; x < W; ++x)
      for (int ch = 0; ch < channels; ++ch) samples.push_back(Raw(x, y, ch, c.Depth));
  const std::vector<uint8_t> file = EncodeTestPng(spec, samples);
  ASSERT_FALSE(file.empty());

  TAlphaMap alpha;
  const TBitmap bitmap = DecodeImage(file, "t.png", nullptr, &alpha);
  ASSERT_EQ(bitmap.Width(), int32_t(W));
  ASSERT_EQ(bitmap.Height(), int32_t(H));
  bool translucent = false;
  for (uint32_t y = 0; y < H; ++y)
    for (uint32_t x = 0; x < W; ++x) {
      const uint16_t* s = &samples[(y * W + x) * size_t(channels)];
      uint32_t r, g, b, a = 255;
      if (c.ColorType == PNG_COLOR_TYPE_PALETTE) {
        const png_color e = PaletteEntry(s[0]);
        r = e.red, g = e.green, b = e.blue;
        if (s[0] < spec.TransAlpha.size()) a = spec.TransAlpha[s[0]];
      } else if (channels <= 2) {
        r = g = b = Shown(s[0], c.Depth);
        if (channels == 2) a = Shown(s[1], c.Depth);
        if (c.Trns && s[0] == spec.TransColor.gray) a = 0;
      } else {
        r = Shown(s[0], c.Depth), g = Shown(s[1], c.Depth), b = Shown(s[2], c.Depth);
        if (channels == 4) a = Shown(s[3], c.Depth);
        if (c.Trns && s[0] == spec.TransColor.red && s[1] == spec.TransColor.green && s[2] == spec.TransColor.blue)
          a = 0;
      }
      translucent |= a != 255;
      ASSERT_EQ(bitmap.Pixel(int32_t(x), int32_t(y)), r << 16 | g << 8 | b) << x << "," << y;
      if (!alpha.Values.empty()) {
        ASSERT_EQ(alpha.At(int32_t(x), int32_t(y)), a) << x << "," << y;
      }
    }
  // The alpha map is filled exactly when some pixel is not opaque.
  EXPECT_EQ(!alpha.Values.empty(), translucent);
  EXPECT_EQ(translucent, c.Trns || (c.ColorType & PNG_COLOR_MASK_ALPHA) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Png, PngFormats,
    ::testing::Values(TPngCase{"Grey1", PNG_COLOR_TYPE_GRAY, 1, false, false},
                      TPngCase{"Grey2Interlaced", PNG_COLOR_TYPE_GRAY, 2, true, false},
                      TPngCase{"Grey4Trns", PNG_COLOR_TYPE_GRAY, 4, false, true},
                      TPngCase{"Grey8", PNG_COLOR_TYPE_GRAY, 8, false, false},
                      TPngCase{"Grey16Interlaced", PNG_COLOR_TYPE_GRAY, 16, true, false},
                      TPngCase{"GreyAlpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
                      TPngCase{"GreyAlpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, false},
                      TPngCase{"Rgb8", PNG_COLOR_TYPE_RGB, 8, false, false},
                      TPngCase{"Rgb8Trns", PNG_COLOR_TYPE_RGB, 8, false, true},
                      TPngCase{"Rgb16Trns", PNG_COLOR_TYPE_RGB, 16, false, true},
                      TPngCase{"Rgba8Interlaced", PNG_COLOR_TYPE_RGBA, 8, true, false},
                      TPngCase{"Rgba16", PNG_COLOR_TYPE_RGBA, 16, false, false},
                      TPngCase{"Palette1", PNG_COLOR_TYPE_PALETTE, 1, false, false},
                      TPngCase{"Palette2Trns", PNG_COLOR_TYPE_PALETTE, 2, false, true},
                      TPngCase{"Palette4Interlaced", PNG_COLOR_TYPE_PALETTE, 4, true, false},
                      TPngCase{"Palette8Trns", PNG_COLOR_TYPE_PALETTE, 8, true, true}),
    [](const ::testing::TestParamInfo<TPngCase>& info) { return std::string(info.param.Name); });

// A plain RGBA file of W x H, partly translucent.
std::vector<uint8_t> SampleFile() {
  std::vector<uint32_t> rgb(W * H);
  std::vector<uint8_t> alpha(W * H);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint32_t(i * 0x030507), alpha[i] = uint8_t(i * 4);
  return test::EncodeRgbaPng(W, H, rgb, alpha);
}

void ExpectImageError(const std::vector<uint8_t>& file, const char* what) {
  try {
    DecodeImage(file, "skin/t.png");
    ADD_FAILURE() << what << ": decoded";
  } catch (const EImageError& e) {
    EXPECT_EQ(e.File(), "skin/t.png") << what;
    EXPECT_FALSE(e.Reason().empty()) << what;
  }
}

TEST(PngDecoder, CutOffAndDamagedFilesAreImageErrors) {
  const std::vector<uint8_t> file = SampleFile();
  // Cut inside the header, inside the image data, and before IEND.
  for (size_t keep : {size_t(12), size_t(30), file.size() / 2, file.size() - 13, file.size() - 1})
    ExpectImageError(std::vector<uint8_t>(file.begin(), file.begin() + ptrdiff_t(keep)),
                     ("cut to " + std::to_string(keep)).c_str());
  // A changed byte of the compressed rows fails IDAT's checksum.
  std::vector<uint8_t> damaged = file;
  damaged[damaged.size() - 20] ^= 0x55;
  ExpectImageError(damaged, "damaged image data");
}

// An IHDR with the given size, its CRC right, then a tiny IDAT and IEND.
std::vector<uint8_t> HeaderOnly(uint32_t width, uint32_t height) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&out](const char* type, std::vector<uint8_t> data) {
    const uint32_t n = uint32_t(data.size());
    out.insert(out.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    const uint32_t crc = uint32_t(crc32(0, body.data(), uInt(body.size())));
    out.insert(out.end(), {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
  };
  chunk("IHDR", {uint8_t(width >> 24), uint8_t(width >> 16), uint8_t(width >> 8), uint8_t(width),
                 uint8_t(height >> 24), uint8_t(height >> 16), uint8_t(height >> 8), uint8_t(height), 8, 6, 0, 0, 0});
  chunk("IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
  chunk("IEND", {});
  return out;
}

TEST(PngDecoder, OversizedHeadersAreRefusedBeforeTheRowsAreAllocated) {
  // Wider or taller than any bitmap, and the largest size with a file far
  // too short for it (that alone would take 1 GiB of pixels).
  for (auto [w, h] : {std::pair<uint32_t, uint32_t>{uint32_t(TBitmap::MaxSide) + 1, 1}, {1, 100000},
                      {uint32_t(TBitmap::MaxSide), uint32_t(TBitmap::MaxSide)}}) {
    try {
      DecodePng(HeaderOnly(w, h), "big.png");
      ADD_FAILURE() << w << "x" << h << " decoded";
    } catch (const EImageError&) {
    }
  }
}

TEST(PngDecoder, KeptAreasAndTheAlphaOfAWholeImage) {
  const std::vector<uint8_t> file = SampleFile();
  const std::vector<TRect> keep = {TRect{1, 1, 3, 2}};
  TAlphaMap alpha;
  const TBitmap whole = DecodeImage(file, "t.png");
  const TBitmap kept = DecodeImage(file, "t.png", &keep, &alpha);
  EXPECT_TRUE(kept.Sparse());
  EXPECT_EQ(kept.Pixel(2, 1), whole.Pixel(2, 1));
  EXPECT_EQ(kept.Pixel(5, 5), 0u);
  ASSERT_EQ(alpha.Values.size(), size_t(W * H));
  EXPECT_EQ(alpha.At(5, 5), uint8_t((5 * W + 5) * 4));
}

}  // namespace
}  // namespace portico
