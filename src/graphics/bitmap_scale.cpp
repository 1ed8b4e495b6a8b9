#include "graphics/bitmap_scale.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace portico {

namespace {
int32_t ScaleEdge(int32_t v, int k) {
  return int32_t(std::clamp<int64_t>(int64_t{v} * k, INT32_MIN, INT32_MAX));
}

// The enlarged size, refused as TBitmap refuses absurd sizes.
void CheckEnlargedSize(int64_t width, int64_t height) {
  if (width > TBitmap::MaxSide || height > TBitmap::MaxSide || width * height > TBitmap::MaxPixels)
    throw std::length_error("enlarged image too large");
}

// Writes `pixel` k times from `dest` on, but not past `end`.
inline uint32_t* Repeat(uint32_t* dest, uint32_t* end, uint32_t pixel, int k) {
  for (int i = 0; i < k && dest < end; ++i) *dest++ = pixel;
  return dest;
}

// Fills dest[left, right) of enlarged row y from the source row sy = y / k,
// reading the source's pixels a run at a time.
void FillRun(uint32_t* dest, int32_t left, int32_t right, const TBitmap& source, int32_t sy, int k) {
  uint32_t* out = dest;
  uint32_t* const end = dest + (right - left);
  int32_t x = left;
  while (out < end) {
    const int32_t sx = x / k;
    const int32_t wanted = (right - 1) / k - sx + 1;
    int32_t length = wanted;
    const uint32_t* from = source.Sparse() ? source.KeptRun(sx, sy, wanted, length) : source.Row(sy) + sx;
    // The first source pixel may be entered part of the way through its block.
    int first = k - (x - sx * k);
    if (!from) {
      // Not kept: black up to the next kept pixel, or to the end.
      const int32_t gap = length > 0 ? std::min(length, wanted) : wanted;
      uint32_t* const stop = std::min(end, out + (int64_t{gap} * k - (k - first)));
      std::fill(out, stop, 0u);
      x += int32_t(stop - out);
      out = stop;
      continue;
    }
    const uint32_t* const start = out;
    out = Repeat(out, end, from[0], first);
    for (int32_t i = 1; i < length && out < end; ++i) out = Repeat(out, end, from[i], k);
    x += int32_t(out - start);
  }
}
}  // namespace

TRect ScaleRect(const TRect& r, int k) {
  return TRect{ScaleEdge(r.Left, k), ScaleEdge(r.Top, k), ScaleEdge(r.Right, k), ScaleEdge(r.Bottom, k)};
}

std::vector<TRect> ScaleRects(const std::vector<TRect>& rects, int k) {
  std::vector<TRect> scaled;
  scaled.reserve(rects.size());
  for (const TRect& r : rects) scaled.push_back(ScaleRect(r, k));
  return scaled;
}

TBitmap EnlargeBitmap(const TBitmap& source, int k, const std::vector<TRect>* keep) {
  k = std::max(k, 1);
  const int64_t width = int64_t{source.Width()} * k, height = int64_t{source.Height()} * k;
  CheckEnlargedSize(width, height);
  TBitmap big;
  if (keep) {
    big.SetSizeKeeping(int32_t(width), int32_t(height), *keep);
    for (int32_t y = 0; y < big.Height(); ++y) {
      int32_t left = 0, right = 0;
      for (size_t i = 0; uint32_t* run = big.KeptRunAt(y, i, left, right); ++i) {
        // Rows of one block keep the same runs when the areas are whole
        // blocks: the row above is copied.
        int32_t above_left = 0, above_right = 0;
        const uint32_t* above = y % k != 0 ? big.KeptRunAt(y - 1, i, above_left, above_right) : nullptr;
        if (above && above_left == left && above_right == right)
          std::copy_n(above, right - left, run);
        else
          FillRun(run, left, right, source, y / k, k);
      }
    }
    return big;
  }
  big.SetSize(int32_t(width), int32_t(height));
  for (int32_t y = 0; y < big.Height(); ++y) {
    if (y % k != 0) {
      std::copy_n(big.Row(y - 1), big.Width(), big.Row(y));
      continue;
    }
    FillRun(big.Row(y), 0, big.Width(), source, y / k, k);
  }
  return big;
}

TAlphaMap EnlargeAlphaMap(const TAlphaMap& source, int k) {
  if (k <= 1) return source;
  const int64_t width = int64_t{source.Width} * k, height = int64_t{source.Height} * k;
  CheckEnlargedSize(width, height);
  TAlphaMap big;
  big.Width = int32_t(width);
  big.Height = int32_t(height);
  big.Values.resize(size_t(width) * size_t(height));
  for (int32_t y = 0; y < big.Height; ++y) {
    uint8_t* row = big.Values.data() + size_t(y) * size_t(width);
    if (y % k != 0) {
      std::copy_n(row - width, width, row);
      continue;
    }
    const uint8_t* from = source.Values.data() + size_t(y / k) * size_t(source.Width);
    for (int32_t x = 0; x < source.Width; ++x) std::fill_n(row + size_t(x) * k, k, from[x]);
  }
  return big;
}

}  // namespace portico
