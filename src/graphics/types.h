// Value types shared by every subsystem: frame coordinates and colours.
#pragma once
#include <cstdint>

namespace portico {

// A point in pixels, (0, 0) at the top left, y growing downward.
struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle; Right and Bottom are exclusive when drawing.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  // Whether the pixel at (x, y) lies inside (Right and Bottom excluded).
  bool Contains(int32_t x, int32_t y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  bool Contains(TPoint p) const { return Contains(p.X, p.Y); }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Colour value 0x00BBGGRR (red in the low byte), as skin settings use it.
using TColor = int32_t;

// Converts between TColor (0x00BBGGRR) and pixel words (0x00RRGGBB).
constexpr uint32_t ColorToPixel(TColor c) {
  uint32_t v = static_cast<uint32_t>(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
constexpr TColor PixelToColor(uint32_t p) {
  return static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

// Intersection of two rectangles; empty (all zero) when they do not meet.
TRect IntersectRect(const TRect& a, const TRect& b);
// Smallest rectangle holding both; an empty one is ignored.
TRect UnionRect(const TRect& a, const TRect& b);

}  // namespace portico
