// Run-length decoding of 4- and 8-bit bitmaps (BI_RLE4, BI_RLE8).
#pragma once
#include <cstdint>
#include <span>

namespace portico {

// Decodes the RLE stream `data` into palette indices: `samples` holds
// width * height entries, top row first, and the stream's first row is the
// bottom one. Pixels the stream never reaches keep their value (index 0).
// Runs past a row's end, moves below the picture and a stream cut short are
// all bounded: the decoder stops writing there and never fails.
void DecodeBmpRle(std::span<const uint8_t> data, int bitsPerPixel, int32_t width, int32_t height,
                  std::span<uint32_t> samples);

}  // namespace portico
