#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace portico {

TBitmap::TBitmap(int32_t width, int32_t height) { SetSize(width, height); }

void TBitmap::SetSize(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || width > MaxSide || height > MaxSide ||
      int64_t{width} * height > MaxPixels)
    throw std::length_error("bitmap size out of range");
  width_ = width;
  height_ = height;
  pixels_.assign(size_t(width) * size_t(height), 0);
  damage_.clear();
  whole_damaged_ = true;
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  width_ = source.width_;
  height_ = source.height_;
  pixels_ = source.pixels_;
  damage_.clear();
  whole_damaged_ = true;
}

void TBitmap::AddDamage(const TRect& r) {
  if (whole_damaged_) return;
  TRect c = IntersectRect(r, BoundsRect());
  if (c.IsEmpty()) return;
  // Merge into an overlapping rectangle so that repeated redraws of one
  // control do not grow the list.
  for (TRect& d : damage_) {
    if (IntersectRect(d, c) == c) return;
    if (!IntersectRect(d, c).IsEmpty()) {
      d = UnionRect(d, c);
      return;
    }
  }
  if (damage_.size() >= 64) {  // many scattered changes: send the whole frame
    DamageAll();
    return;
  }
  damage_.push_back(c);
}

void TBitmap::DamageAll() {
  damage_.clear();
  whole_damaged_ = true;
}

std::vector<TRect> TBitmap::TakeDamage() {
  std::vector<TRect> out;
  if (whole_damaged_) {
    if (!Empty()) out.push_back(BoundsRect());
  } else {
    out.swap(damage_);
  }
  damage_.clear();
  whole_damaged_ = false;
  return out;
}

void BitBlt(TBitmap& dest, int32_t x, int32_t y, int32_t w, int32_t h, const TBitmap& source,
            int32_t sx, int32_t sy) {
  if (w <= 0 || h <= 0) return;
  // Work in 64 bits: skin rectangles may hold any 32-bit values.
  int64_t dx0 = x, dy0 = y, sx0 = sx, sy0 = sy, ww = w, hh = h;
  auto clip = [&](int64_t& a, int64_t& b, int64_t& len, int64_t alim, int64_t blim) {
    if (a < 0) { b -= a; len += a; a = 0; }
    if (b < 0) { a -= b; len += b; b = 0; }
    len = std::min({len, alim - a, blim - b});
  };
  clip(dx0, sx0, ww, dest.Width(), source.Width());
  clip(dy0, sy0, hh, dest.Height(), source.Height());
  if (ww <= 0 || hh <= 0) return;
  for (int64_t row = 0; row < hh; ++row) {
    std::memcpy(dest.Row(int32_t(dy0 + row)) + dx0, source.Row(int32_t(sy0 + row)) + sx0,
                size_t(ww) * sizeof(uint32_t));
  }
  dest.AddDamage(TRect{int32_t(dx0), int32_t(dy0), int32_t(dx0 + ww), int32_t(dy0 + hh)});
}

TColor CanvasPixel(const TBitmap& bitmap, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return -1;
  return PixelToColor(bitmap.Pixel(x, y));
}

}  // namespace portico
