#include "skintool/skeleton_images.h"

#include <algorithm>

#include "text/codepage.h"
#include "text/draw_text.h"

namespace portico {

namespace {
constexpr uint32_t Background = 0xD8D8D8;
constexpr uint32_t Ink = 0x303030;

struct TLookColours {
  uint32_t Fill, Edge;
};

TLookColours ColoursOf(TGuideLook look) {
  switch (look) {
    case TGuideLook::Normal: return {0xF2F2F2, 0x606060};
    case TGuideLook::Over: return {0x5A8AC8, 0x1E3C64};
    case TGuideLook::Down: return {0x2C5A96, 0x10243C};
    case TGuideLook::Disable: return {0xE4E4E4, 0xA8A8A8};
  }
  return {0xF2F2F2, 0x606060};
}

void Fill(TBitmap& b, const TRect& r, uint32_t colour) {
  const TRect c = IntersectRect(r, b.BoundsRect());
  for (int32_t y = c.Top; y < c.Bottom; ++y)
    for (int32_t x = c.Left; x < c.Right; ++x) b.SetPixel(x, y, colour);
}

void Outline(TBitmap& b, const TRect& r, uint32_t colour) {
  Fill(b, TRect{r.Left, r.Top, r.Right, r.Top + 1}, colour);
  Fill(b, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, colour);
  Fill(b, TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, colour);
  Fill(b, TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, colour);
}

void Text(TBitmap& b, const std::string& text, TRect box, int size, unsigned align) {
  b.Canvas.Font.Size = size;
  b.Canvas.Font.Color = PixelToColor(Ink);
  DrawTextW(b, AnsiToWide(text), box, align | tfVCenter | tfSingleLine | tfNoPrefix | tfEndEllipsis);
}

// The radius of the window's corners: inside the margin the controls keep.
int32_t CornerRadius(int32_t w, int32_t h) {
  return std::clamp(std::min(w, h) / 20, 4, SkeletonMargin(w, h) - 4);
}

// Whether (x, y) lies inside the rectangle with rounded corners of radius r.
bool InsideRounded(int32_t x, int32_t y, int32_t w, int32_t h, int32_t r) {
  const int32_t cx = std::clamp(x, r, w - 1 - r), cy = std::clamp(y, r, h - 1 - r);
  const int64_t dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= int64_t(r) * r;
}
}  // namespace

TBitmap DrawGuide(TGuideLook look, int32_t w, int32_t h, const std::string& title,
                  const std::vector<TSkeletonControl>& controls) {
  TBitmap b(w, h);
  Fill(b, b.BoundsRect(), Background);
  const int32_t m = SkeletonMargin(w, h);
  // The title left of the version box, as far as there is room.
  int32_t title_right = w - m;
  for (const TSkeletonControl& c : controls)
    if (c.Bounds.Top < h / 2) title_right = std::min(title_right, c.Bounds.Left - m);
  Text(b, title + " (" + std::to_string(w) + " x " + std::to_string(h) + ")",
       TRect{m, m, std::max(title_right, m + 1), m + 24}, 12, tfLeft);
  const TLookColours colours = ColoursOf(look);
  for (const TSkeletonControl& c : controls) {
    Fill(b, c.Bounds, colours.Fill);
    Outline(b, c.Bounds, colours.Edge);
    // The name just above the control, where the margin leaves room.
    Text(b, c.Name, TRect{c.Bounds.Left, c.Bounds.Top - 13, c.Bounds.Right + m, c.Bounds.Top - 1}, 7,
         tfLeft);
  }
  return b;
}

TBitmap DrawMaskGuide(int32_t w, int32_t h, const std::vector<TSkeletonControl>& controls) {
  TBitmap b(w, h);
  const int32_t r = CornerRadius(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, InsideRounded(x, y, w, h, r) ? 0x000000 : 0xFFFFFF);
  for (const TSkeletonControl& c : controls) Outline(b, c.Bounds, 0x505050);
  return b;
}

}  // namespace portico
