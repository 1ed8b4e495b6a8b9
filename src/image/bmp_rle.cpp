#include "image/bmp_rle.h"

#include <algorithm>
#include <cstddef>

namespace portico {
namespace {

// The drawing position of the stream, clipped on every write.
class RleCursor {
 public:
  RleCursor(int32_t width, int32_t height, std::span<uint32_t> samples)
      : width_(width), height_(height), samples_(samples) {}

  // Writes one index at the cursor and moves right; outside the picture it only moves.
  void Put(uint32_t index) {
    if (x_ < width_ && y_ < height_) samples_[size_t(height_ - 1 - y_) * size_t(width_) + size_t(x_)] = index;
    ++x_;
  }
  void NextLine() { x_ = 0, ++y_; }
  void Move(int dx, int dy) { x_ += dx, y_ += dy; }
  bool Below() const { return y_ >= height_; }

 private:
  int64_t x_ = 0, y_ = 0;  // y counts from the bottom row
  int64_t width_, height_;
  std::span<uint32_t> samples_;
};

// The i-th index of a packed run: a byte each (RLE8) or a nibble each, high first (RLE4).
uint32_t PackedIndex(const uint8_t* bytes, size_t i, bool rle4) {
  if (!rle4) return bytes[i];
  return i % 2 == 0 ? bytes[i / 2] >> 4 : bytes[i / 2] & 0x0F;
}

}  // namespace

void DecodeBmpRle(std::span<const uint8_t> data, int bitsPerPixel, int32_t width, int32_t height,
                  std::span<uint32_t> samples) {
  const bool rle4 = bitsPerPixel == 4;
  RleCursor cursor(width, height, samples);
  size_t pos = 0;
  auto left = [&]() { return data.size() - pos; };
  // One command per pass; each consumes at least two bytes, so the loop
  // ends with the data at the latest.
  while (!cursor.Below() && left() >= 2) {
    const uint8_t count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {  // encoded run: `count` pixels of one byte's index (or two alternating nibbles)
      for (size_t i = 0; i < count; ++i) cursor.Put(rle4 ? PackedIndex(&value, i % 2, true) : value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        cursor.NextLine();
        break;
      case 1:  // end of bitmap
        return;
      case 2:  // delta: right and up by the next two bytes
        if (left() < 2) return;
        cursor.Move(data[pos], data[pos + 1]);
        pos += 2;
        break;
      default: {  // absolute run of `value` indices, padded to a 16-bit boundary
        const size_t bytes = rle4 ? (size_t(value) + 1) / 2 : value;
        // A stream cut short inside the run still draws the indices it holds.
        const size_t available = std::min(bytes, left());
        const size_t pixels = std::min<size_t>(value, rle4 ? available * 2 : available);
        for (size_t i = 0; i < pixels; ++i) cursor.Put(PackedIndex(data.data() + pos, i, rle4));
        pos += std::min(bytes + (bytes & 1), left());
        break;
      }
    }
  }
}

}  // namespace portico
