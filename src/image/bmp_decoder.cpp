#include "image/bmp_decoder.h"

#include <array>
#include <bit>

#include "image/bmp_headers.h"
#include "image/bmp_rle.h"
#include "system/errors.h"
#include "graphics/pixel_recycling.h"

namespace portico {
namespace {

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;  // the channel's largest value, mask >> shift

  explicit Channel(uint32_t mask) : Mask(mask) {
    if (mask == 0) return;
    Shift = std::countr_zero(mask);
    Max = mask >> Shift;
  }
  // Scales the channel so that its largest value becomes 255 (rounded).
  uint32_t To8(uint32_t sample) const {
    if (Max == 0) return 0;
    if (Max == 0xFF) return (sample & Mask) >> Shift;
    const uint64_t v = (sample & Mask) >> Shift;
    return uint32_t((v * 255 + Max / 2) / Max);
  }
};

// Turns 16- and 32-bit samples into 0x00RRGGBB through their masks.
struct MaskConverter {
  Channel Red, Green, Blue;
  MaskConverter(uint32_t r, uint32_t g, uint32_t b) : Red(r), Green(g), Blue(b) {}
  uint32_t operator()(uint32_t s) const { return Red.To8(s) << 16 | Green.To8(s) << 8 | Blue.To8(s); }
};

bool IsRle(const BmpLayout& layout) { return layout.Compression == kBiRle8 || layout.Compression == kBiRle4; }

// The pixel data from bfOffBits on; for uncompressed files, checks that
// every row is there (the last row may lack its padding).
std::span<const uint8_t> PixelData(std::span<const uint8_t> data, const BmpLayout& layout,
                                   const std::string& name) {
  std::span<const uint8_t> pixels = data.subspan(size_t(layout.PixelOffset));
  if (IsRle(layout)) return pixels;
  const uint64_t lastRow = (uint64_t(layout.Width) * uint64_t(layout.BitsPerPixel) + 7) / 8;
  const uint64_t needed = layout.RowStride * uint64_t(layout.Height - 1) + lastRow;
  if (needed > pixels.size()) throw EImageError(name, "truncated pixel data");
  return pixels;
}

// The stored row that shows as row `y` from the top.
const uint8_t* StoredRow(std::span<const uint8_t> pixels, const BmpLayout& layout, int32_t y) {
  const uint64_t row = layout.TopDown ? uint64_t(y) : uint64_t(layout.Height - 1 - y);
  return pixels.data() + row * layout.RowStride;
}

// Unpacks one stored row into samples (palette indices, raw words or 0x00RRGGBB).
void UnpackRow(const uint8_t* row, int32_t width, int bpp, uint32_t* out) {
  switch (bpp) {
    case 1:
    case 2:
    case 4: {
      // Leftmost pixel in the high bits of each byte.
      const uint32_t valueMask = (1u << bpp) - 1;
      const int perByte = 8 / bpp;
      for (int32_t x = 0; x < width; ++x) {
        const int shift = 8 - bpp * (1 + x % perByte);
        out[x] = (row[x / perByte] >> shift) & valueMask;
      }
      break;
    }
    case 8:
      for (int32_t x = 0; x < width; ++x) out[x] = row[x];
      break;
    case 16:
      for (int32_t x = 0; x < width; ++x) out[x] = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
      break;
    case 24:
      for (int32_t x = 0; x < width; ++x)
        out[x] = uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
      break;
    case 32:
      for (int32_t x = 0; x < width; ++x)
        out[x] = uint32_t(row[4 * x]) | uint32_t(row[4 * x + 1]) << 8 | uint32_t(row[4 * x + 2]) << 16 |
                 uint32_t(row[4 * x + 3]) << 24;
      break;
  }
}

// The palette as a full 256-entry table: indices past its end show black.
std::array<uint32_t, 256> PaletteTable(const std::vector<uint32_t>& palette) {
  std::array<uint32_t, 256> table{};
  for (size_t i = 0; i < palette.size() && i < table.size(); ++i) table[i] = palette[i];
  return table;
}

// Fills `raster` from the layout and the pixel data.
BmpRaster RasterOf(std::span<const uint8_t> data, const BmpLayout& layout, const std::string& name) {
  std::span<const uint8_t> pixels = PixelData(data, layout, name);
  BmpRaster raster;
  raster.Width = layout.Width;
  raster.Height = layout.Height;
  raster.BitsPerPixel = layout.BitsPerPixel;
  raster.Palette = layout.Palette;
  raster.RedMask = layout.RedMask, raster.GreenMask = layout.GreenMask;
  raster.BlueMask = layout.BlueMask, raster.AlphaMask = layout.AlphaMask;
  // Sizes were checked against the bitmap limits when the headers were read.
  const size_t count = size_t(layout.Width) * size_t(layout.Height);
  raster.Samples = PixelStorageFor(count);
  raster.Samples.assign(count, 0);
  if (IsRle(layout)) {
    DecodeBmpRle(pixels, layout.BitsPerPixel, layout.Width, layout.Height, raster.Samples);
    return raster;
  }
  for (int32_t y = 0; y < layout.Height; ++y)
    UnpackRow(StoredRow(pixels, layout, y), layout.Width, layout.BitsPerPixel,
              raster.Samples.data() + size_t(y) * size_t(layout.Width));
  return raster;
}

// Converts columns of stored rows to 0x00RRGGBB, one row buffer at most.
class TRowConverter {
 public:
  explicit TRowConverter(const BmpLayout& layout)
      : bpp_(layout.BitsPerPixel),
        plain32_(bpp_ == 32 && layout.RedMask == 0xFF0000 && layout.GreenMask == 0xFF00 &&
                 layout.BlueMask == 0xFF),
        width_(layout.Width),
        table_(PaletteTable(layout.Palette)),
        masks_(layout.RedMask, layout.GreenMask, layout.BlueMask) {}

  // Starts on a stored row; packed and bit-field rows are unpacked once.
  void Row(const uint8_t* row) {
    row_ = row;
    if (bpp_ == 24 || plain32_ || bpp_ == 8) return;
    samples_.resize(size_t(width_));
    UnpackRow(row, width_, bpp_, samples_.data());
  }

  // Columns left to right - 1 of the current row, into out[0...].
  void Columns(int32_t left, int32_t right, uint32_t* out) const {
    const uint8_t* row = row_;
    if (bpp_ == 24) {
      for (int32_t x = left; x < right; ++x)
        *out++ = uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
    } else if (plain32_) {
      for (int32_t x = left; x < right; ++x)
        *out++ = uint32_t(row[4 * x]) | uint32_t(row[4 * x + 1]) << 8 | uint32_t(row[4 * x + 2]) << 16;
    } else if (bpp_ == 8) {
      for (int32_t x = left; x < right; ++x) *out++ = table_[row[x]];
    } else if (bpp_ < 8) {
      for (int32_t x = left; x < right; ++x) *out++ = table_[samples_[size_t(x)]];
    } else {
      for (int32_t x = left; x < right; ++x) *out++ = masks_(samples_[size_t(x)]);
    }
  }

 private:
  int bpp_;
  bool plain32_;
  int32_t width_;
  std::array<uint32_t, 256> table_;
  MaskConverter masks_;
  std::vector<uint32_t> samples_;
  const uint8_t* row_ = nullptr;
};

// Converts uncompressed rows straight into the bitmap: every pixel of a
// whole one, only the kept runs of a sparse one.
void ConvertRows(std::span<const uint8_t> pixels, const BmpLayout& layout, TBitmap& bitmap) {
  TRowConverter convert(layout);
  for (int32_t y = 0; y < layout.Height; ++y) {
    if (!bitmap.Sparse()) {
      convert.Row(StoredRow(pixels, layout, y));
      convert.Columns(0, layout.Width, bitmap.Row(y));
      continue;
    }
    int32_t left = 0, right = 0;
    for (size_t i = 0; uint32_t* out = bitmap.KeptRunAt(y, i, left, right); ++i) {
      // Rows without a kept run are never read.
      if (i == 0) convert.Row(StoredRow(pixels, layout, y));
      convert.Columns(left, right, out);
    }
  }
}

}  // namespace

BmpRaster ReadBmpRaster(std::span<const uint8_t> data, const std::string& name) {
  const BmpLayout layout = ReadBmpLayout(data, name);
  if (layout.Width == 0) return BmpRaster{};
  return RasterOf(data, layout, name);
}

TBitmap DecodeBmp(std::span<const uint8_t> data, const std::string& name, const std::vector<TRect>* keep) {
  const BmpLayout layout = ReadBmpLayout(data, name);
  if (layout.Width == 0) return TBitmap();
  std::span<const uint8_t> pixels = PixelData(data, layout, name);
  TBitmap bitmap;
  if (keep && !IsRle(layout)) {
    bitmap.SetSizeKeeping(layout.Width, layout.Height, *keep);
    ConvertRows(pixels, layout, bitmap);
    return bitmap;
  }
  bitmap.SetSize(layout.Width, layout.Height);
  if (IsRle(layout)) {
    // The bitmap starts all zero, which is index 0 for pixels the stream
    // never reaches: decode the indices in place, then look them up.
    const std::span<uint32_t> out(bitmap.Data(), size_t(layout.Width) * size_t(layout.Height));
    DecodeBmpRle(pixels, layout.BitsPerPixel, layout.Width, layout.Height, out);
    const std::array<uint32_t, 256> table = PaletteTable(layout.Palette);
    for (uint32_t& pixel : out) pixel = table[pixel & 0xFF];
  } else {
    ConvertRows(pixels, layout, bitmap);
  }
  // A compressed stream goes wherever it likes: decoded whole, then cut.
  if (keep) bitmap.KeepOnly(*keep);
  return bitmap;
}

uint32_t BmpSampleToRgb(const BmpRaster& raster, uint32_t sample) {
  if (raster.BitsPerPixel <= 8) return sample < raster.Palette.size() ? raster.Palette[sample] : 0;
  if (raster.BitsPerPixel == 24) return sample & 0xFFFFFF;
  return MaskConverter(raster.RedMask, raster.GreenMask, raster.BlueMask)(sample);
}

}  // namespace portico
