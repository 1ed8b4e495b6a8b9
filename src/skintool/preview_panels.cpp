#include "skintool/preview_panels.h"

#include <algorithm>

#include "graphics/bitmap_scale.h"
#include "skintool/hit_map.h"

namespace portico {

namespace {
// Colours told apart easily, in the order controls get them.
constexpr uint32_t Palette[] = {0xE6194B, 0x3CB44B, 0x4363D8, 0xF58231, 0x911EB4,
                                0x008080, 0xF032E6, 0x9A6324, 0x800000, 0x000075};

uint32_t Mix(uint32_t a, uint32_t b, unsigned weight_b) {
  auto channel = [&](int shift) {
    const unsigned x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
    return ((x * (255 - weight_b) + y * weight_b) / 255) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

std::vector<uint8_t> AlphaOf(const TBitmap& b, const TWindowCover& cover) {
  std::vector<uint8_t> alpha(size_t(b.Width()) * size_t(b.Height()));
  size_t k = 0;
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) alpha[k++] = cover.Keeps(x, y) ? 255 : 0;
  return alpha;
}

// Puts each control's look flags aside and back.
struct TSavedFlags {
  bool Enabled, Hover, Down;
};
}  // namespace

TPanelPicture ComposeLook(TSkinProbe& probe, const TWindowCover& cover, TControlLook look) {
  TSkin& skin = *probe.Skin;
  const TBitmap first = *skin.BitmapFrame;
  if (look != TControlLook::AsFirstShown) {
    std::vector<TSavedFlags> saved;
    for (auto& b : skin.Buttons) {
      saved.push_back({b->Enabled, b->Hover, b->Down});
      b->Hover = look == TControlLook::Over || look == TControlLook::Down;
      b->Down = look == TControlLook::Down;
      if (look == TControlLook::Disabled) b->Enabled = false;
      skin.DrawButton(b.get());
    }
    for (size_t i = 0; i < saved.size(); ++i) {
      auto& b = skin.Buttons[i];
      b->Enabled = saved[i].Enabled;
      b->Hover = saved[i].Hover;
      b->Down = saved[i].Down;
    }
  }
  TPanelPicture picture{*skin.BitmapFrame, AlphaOf(*skin.BitmapFrame, cover)};
  skin.BitmapFrame->Assign(first);
  return picture;
}

TPanelPicture DrawHitMap(const TSkinProbe& probe, const TWindowCover& cover,
                         std::vector<TMapLabel>& labels) {
  const TSkin& skin = *probe.Skin;
  TBitmap map = *skin.BitmapFrame;
  const int32_t w = map.Width(), h = map.Height();
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint32_t p = Mix(map.Pixel(x, y), 0xFFFFFF, 150);
      // Cut-away parts are hatched dark, so that controls there still show.
      if (!cover.Keeps(x, y)) p = Mix(p, 0x202020, ((x + y) / 4) % 2 ? 200 : 120);
      map.SetPixel(x, y, p);
    }
  // The controls keep the description's coordinates: at scale k each of
  // their pixels is a k x k block of the frame, as the launcher divides the
  // pointer by k. The budget shrinks with the blocks, so that painting
  // them costs no more than at 1x.
  const int32_t k = std::max(skin.Scale, 1);
  std::vector<const TPointerControl*> controls;
  for (const auto& b : skin.Buttons) controls.push_back(b.get());
  const THitMap hits(controls, w / k, h / k, THitMap::DefaultBudget / uint64_t(k * k));
  const auto hit = [&](size_t i, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && hits.Hit(i, x / k, y / k);
  };
  for (size_t i = 0; i < controls.size(); ++i) {
    const uint32_t colour = Palette[i % std::size(Palette)];
    const TRect b = ScaleRect(controls[i]->Bounds, k);
    TPoint label{std::clamp(b.Left, 0, std::max(w - 1, 0)),
                 std::clamp(b.Top, 0, std::max(h - 1, 0))};
    if (!hits.Traced(i)) {
      // Too costly to trace: the outline of its bounds, dashed.
      const TRect r = IntersectRect(b, map.BoundsRect());
      for (int32_t x = r.Left; x < r.Right; ++x)
        if (x / 4 % 2 == 0) map.SetPixel(x, r.Top, colour), map.SetPixel(x, r.Bottom - 1, colour);
      for (int32_t y = r.Top; y < r.Bottom; ++y)
        if (y / 4 % 2 == 0) map.SetPixel(r.Left, y, colour), map.SetPixel(r.Right - 1, y, colour);
    } else {
      const TRect a = IntersectRect(ScaleRect(hits.Area(i), k), map.BoundsRect());
      bool first = true;
      for (int32_t y = a.Top; y < a.Bottom; ++y)
        for (int32_t x = a.Left; x < a.Right; ++x) {
          if (!hit(i, x, y)) continue;
          if (first) label = TPoint{x, y}, first = false;
          const bool edge = !hit(i, x - 1, y) || !hit(i, x + 1, y) || !hit(i, x, y - 1) ||
                            !hit(i, x, y + 1);
          map.SetPixel(x, y, edge ? colour : Mix(map.Pixel(x, y), colour, 110));
        }
    }
    labels.push_back(TMapLabel{skin.Buttons[i]->Name, label, colour});
  }
  std::vector<uint8_t> opaque(size_t(w) * size_t(h), 255);
  return TPanelPicture{std::move(map), std::move(opaque)};
}

}  // namespace portico
