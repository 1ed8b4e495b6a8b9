// Windows bitmap (BMP/DIB) reader: our own, bounds-checked.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/bitmap.h"

namespace portico {

// A bitmap file's pixels at its own pixel format, rows top-down.
struct BmpRaster {
  int32_t Width = 0;
  int32_t Height = 0;
  int BitsPerPixel = 0;             // 1, 2, 4, 8, 16, 24, 32 (also for RLE files)
  std::vector<uint32_t> Palette;    // 0x00RRGGBB entries, for <= 8 bits
  // Channel masks of 16- and 32-bit pixels (from bit fields, or the
  // defaults 5-5-5 and 8-8-8); zero otherwise.
  uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0, AlphaMask = 0;
  // One sample per pixel, Width * Height, top row first: the palette index
  // (<= 8 bits), the raw 16-bit word, 0x00RRGGBB for 24 bits, the raw
  // 32-bit word for 32 bits.
  std::vector<uint32_t> Samples;
};

// Reads the file's pixels at their own format. Throws EImageError (with
// `name` in the message) for anything it cannot read. A bitmap of width or
// height 0 gives an empty raster.
BmpRaster ReadBmpRaster(std::span<const uint8_t> data, const std::string& name);

// Decodes a BMP file into 0x00RRGGBB pixels; a bitmap of width or height 0
// gives an empty one. Throws EImageError. With `keep` the result keeps
// only those areas (TBitmap::KeepOnly), and an uncompressed file's other
// pixels are never converted.
TBitmap DecodeBmp(std::span<const uint8_t> data, const std::string& name,
                  const std::vector<TRect>* keep = nullptr);

// Converts one raster sample to 0x00RRGGBB.
uint32_t BmpSampleToRgb(const BmpRaster& raster, uint32_t sample);

}  // namespace portico
