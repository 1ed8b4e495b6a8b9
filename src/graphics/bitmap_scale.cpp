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

// Fills dest[left, right) of enlarged row y from the source row y / k.
void FillRun(uint32_t* dest, int32_t left, int32_t right, const TBitmap& source, int32_t sy, int k) {
  for (int32_t x = left; x < right;) {
    const uint32_t pixel = source.Pixel(x / k, sy);
    const int32_t block_end = std::min(right, (x / k + 1) * k);
    std::fill(dest + (x - left), dest + (block_end - left), pixel);
    x = block_end;
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
  if (k <= 1) {
    TBitmap copy;
    copy.Assign(source);
    if (keep) copy.KeepOnly(*keep);
    return copy;
  }
  const int64_t width = int64_t{source.Width()} * k, height = int64_t{source.Height()} * k;
  CheckEnlargedSize(width, height);
  TBitmap big;
  if (keep) {
    big.SetSizeKeeping(int32_t(width), int32_t(height), *keep);
    for (int32_t y = 0; y < big.Height(); ++y) {
      int32_t left = 0, right = 0;
      for (size_t i = 0; uint32_t* run = big.KeptRunAt(y, i, left, right); ++i)
        FillRun(run, left, right, source, y / k, k);
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
