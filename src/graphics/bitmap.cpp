#include "graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "graphics/pixel_recycling.h"

namespace portico {

namespace {

// Room for `count` pixels, from storage let go of earlier when there is some.
void MakeRoom(std::vector<uint32_t>& pixels, size_t count) {
  if (pixels.capacity() >= count) return;
  RecyclePixelStorage(std::move(pixels));
  pixels = PixelStorageFor(count);
}

// Refuses absurd sizes with std::length_error.
void CheckSize(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || width > TBitmap::MaxSide || height > TBitmap::MaxSide ||
      int64_t{width} * height > TBitmap::MaxPixels)
    throw std::length_error("bitmap size out of range");
}

}  // namespace

TBitmap::TBitmap(int32_t width, int32_t height) { SetSize(width, height); }

void TBitmap::SetSize(int32_t width, int32_t height) {
  CheckSize(width, height);
  width_ = width;
  height_ = height;
  sparse_ = false;
  spans_.clear();
  first_span_.clear();
  const size_t count = size_t(width) * size_t(height);
  MakeRoom(pixels_, count);
  pixels_.assign(count, 0);
  damage_.clear();
  whole_damaged_ = true;
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  width_ = source.width_;
  height_ = source.height_;
  // A copy into storage big enough writes over it in place.
  MakeRoom(pixels_, source.pixels_.size());
  pixels_ = source.pixels_;
  sparse_ = source.sparse_;
  spans_ = source.spans_;
  first_span_ = source.first_span_;
  damage_.clear();
  whole_damaged_ = true;
}

size_t TBitmap::PlanKeptRuns(const std::vector<TRect>& areas, std::vector<TSpan>& spans,
                             std::vector<uint32_t>& first) const {
  std::vector<TRect> kept;
  for (const TRect& a : areas) {
    const TRect c = IntersectRect(a, BoundsRect());
    if (!c.IsEmpty()) kept.push_back(c);
  }
  spans.clear();
  first.assign(size_t(height_) + 1, 0);
  std::vector<std::pair<int32_t, int32_t>> row;
  for (int32_t y = 0; y < height_; ++y) {
    first[size_t(y)] = uint32_t(spans.size());
    row.clear();
    for (const TRect& r : kept)
      if (y >= r.Top && y < r.Bottom) row.emplace_back(r.Left, r.Right);
    std::sort(row.begin(), row.end());
    // Overlapping and touching runs become one.
    for (const auto& [left, right] : row) {
      if (!spans.empty() && size_t(first[size_t(y)]) < spans.size() && left <= spans.back().Right) {
        spans.back().Right = std::max(spans.back().Right, right);
      } else {
        spans.push_back(TSpan{left, right, 0});
      }
    }
  }
  first[size_t(height_)] = uint32_t(spans.size());
  size_t total = 0;
  for (TSpan& s : spans) {
    s.Offset = total;
    total += size_t(s.Right - s.Left);
  }
  return total;
}

void TBitmap::KeepOnly(const std::vector<TRect>& areas) {
  if (sparse_ || Empty()) return;
  RecyclePixelStorage(KeepOnlyReleasing(areas));
}

std::vector<uint32_t> TBitmap::KeepOnlyReleasing(const std::vector<TRect>& areas) {
  std::vector<TSpan> spans;
  std::vector<uint32_t> first;
  std::vector<uint32_t> pixels(PlanKeptRuns(areas, spans, first));
  for (int32_t y = 0; y < height_; ++y)
    for (uint32_t i = first[size_t(y)]; i < first[size_t(y) + 1]; ++i)
      std::memcpy(pixels.data() + spans[i].Offset, Row(y) + spans[i].Left,
                  size_t(spans[i].Right - spans[i].Left) * sizeof(uint32_t));
  std::vector<uint32_t> whole = std::move(pixels_);
  pixels_ = std::move(pixels);
  spans_ = std::move(spans);
  first_span_ = std::move(first);
  sparse_ = true;
  return whole;
}

void TBitmap::HandOverTo(TBitmap& target, const std::vector<TRect>& areas) {
  if (&target == this) return;
  if (sparse_ || Empty()) {
    target.Assign(*this);
    return;
  }
  RecyclePixelStorage(std::move(target.pixels_));
  target.width_ = width_;
  target.height_ = height_;
  target.pixels_ = KeepOnlyReleasing(areas);
  target.sparse_ = false;
  target.spans_.clear();
  target.first_span_.clear();
  target.DamageAll();
}

void TBitmap::SetSizeKeeping(int32_t width, int32_t height, const std::vector<TRect>& areas) {
  CheckSize(width, height);
  SetSize(0, 0);
  if (width == 0 || height == 0) return SetSize(width, height);
  width_ = width;
  height_ = height;
  RecyclePixelStorage(std::move(pixels_));
  pixels_ = std::vector<uint32_t>(PlanKeptRuns(areas, spans_, first_span_), 0);
  sparse_ = true;
}

uint32_t* TBitmap::KeptRunAt(int32_t y, size_t i, int32_t& left, int32_t& right) {
  if (!sparse_ || y < 0 || y >= height_ || i >= size_t(first_span_[size_t(y) + 1] - first_span_[size_t(y)]))
    return nullptr;
  const TSpan& s = spans_[first_span_[size_t(y)] + i];
  left = s.Left;
  right = s.Right;
  return pixels_.data() + s.Offset;
}

const TBitmap::TSpan* TBitmap::SpanAt(int32_t x, int32_t y) const {
  const TSpan* begin = spans_.data() + first_span_[size_t(y)];
  const TSpan* end = spans_.data() + first_span_[size_t(y) + 1];
  // The first run that ends past x.
  const TSpan* s = std::upper_bound(begin, end, x, [](int32_t v, const TSpan& t) { return v < t.Right; });
  return s;
}

uint32_t TBitmap::SparsePixel(int32_t x, int32_t y) const {
  const TSpan* s = SpanAt(x, y);
  if (s == spans_.data() + first_span_[size_t(y) + 1] || x < s->Left) return 0;
  return pixels_[s->Offset + size_t(x - s->Left)];
}

uint32_t* TBitmap::SparseAt(int32_t x, int32_t y) {
  const TSpan* s = SpanAt(x, y);
  if (s == spans_.data() + first_span_[size_t(y) + 1] || x < s->Left) return nullptr;
  return &pixels_[s->Offset + size_t(x - s->Left)];
}

const uint32_t* TBitmap::KeptRun(int32_t x, int32_t y, int32_t count, int32_t& length) const {
  if (!sparse_) {
    length = count;
    return Row(y) + x;
  }
  const TSpan* s = SpanAt(x, y);
  if (s == spans_.data() + first_span_[size_t(y) + 1]) {
    length = 0;
    return nullptr;
  }
  if (x < s->Left) {
    length = std::min(count, s->Left - x);
    return nullptr;
  }
  length = std::min(count, s->Right - x);
  return pixels_.data() + s->Offset + size_t(x - s->Left);
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
  // Only a bitmap with all its pixels is drawn into.
  if (w <= 0 || h <= 0 || dest.Sparse()) return;
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
    uint32_t* out = dest.Row(int32_t(dy0 + row)) + dx0;
    // A sparse source gives its kept runs; what it let go of is left as it was.
    for (int64_t done = 0; done < ww;) {
      int32_t length = 0;
      const uint32_t* in =
          source.KeptRun(int32_t(sx0 + done), int32_t(sy0 + row), int32_t(ww - done), length);
      if (length == 0) break;
      if (in) std::memcpy(out + done, in, size_t(length) * sizeof(uint32_t));
      done += length;
    }
  }
  dest.AddDamage(TRect{int32_t(dx0), int32_t(dy0), int32_t(dx0 + ww), int32_t(dy0 + hh)});
}

TColor CanvasPixel(const TBitmap& bitmap, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return -1;
  return PixelToColor(bitmap.Pixel(x, y));
}

}  // namespace portico
