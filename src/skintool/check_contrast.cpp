// Captions the launcher draws: whether their colour, the inverse of the
// Normal image under the control's centre, can be read on the pixels of
// each look the control is drawn in.
#include <array>
#include <cstdio>

#include "render/compositing.h"
#include "skintool/check_steps.h"
#include "skintool/contrast.h"
#include "skintool/names.h"

namespace portico {

namespace {
std::string Hex(uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", unsigned(rgb & 0xFFFFFF));
  return text;
}

// The luminance that half of the box's pixels in `image` lie below.
double MedianLuminance(const TBitmap& image, const TRect& box) {
  constexpr size_t Bins = 1024;
  std::array<uint64_t, Bins> histogram{};
  const TRect r = IntersectRect(box, image.BoundsRect());
  uint64_t total = 0;
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x, ++total)
      ++histogram[std::min(Bins - 1, size_t(RelativeLuminance(image.Pixel(x, y)) * Bins))];
  uint64_t seen = 0;
  for (size_t i = 0; i < Bins; ++i)
    if ((seen += histogram[i]) * 2 >= total) return (i + 0.5) / Bins;
  return 0.5;
}

struct TLook {
  bool Hover, Down;
};
}  // namespace

void CheckCaptionContrast(const TCheckInput& in, TFindingList& out) {
  const TSkin& skin = *in.Probe.Skin;
  const TStateImages images{skin.BitmapNormal.get(), skin.BitmapOver.get(), skin.BitmapDown.get(),
                            skin.BitmapDisable.get()};
  for (const TProbedLine& p : in.Probe.Lines) {
    const TSkinButton* b = p.Button;
    if (!b || b->Caption.empty()) continue;
    const uint32_t ink = ColorToPixel(b->TextColor);
    // A disabled control has one look; an enabled one three.
    const std::vector<TLook> looks =
        b->Enabled ? std::vector<TLook>{{false, false}, {true, false}, {true, true}}
                   : std::vector<TLook>{{false, false}};
    double worst = 21;
    std::string worst_image;
    for (const TLook& look : looks) {
      const TBitmap* image = SelectStateImage(images, b->Enabled, look.Hover, look.Down);
      if (!image) continue;
      const double ratio =
          ContrastRatio(RelativeLuminance(ink), MedianLuminance(*image, b->TextRect));
      if (ratio < worst) {
        worst = ratio;
        worst_image = image == images.Disable ? "Disable"
                      : image == images.Over  ? "Over"
                      : image == images.Down  ? "Down"
                                              : "Normal";
      }
    }
    if (worst >= MinimumContrast) continue;
    char ratio[16];
    std::snprintf(ratio, sizeof ratio, "%.1f:1", worst);
    out.Warn(p.Line, "caption-contrast",
             "the caption of " + Quoted(b->Name) + " is hard to read: its colour " + Hex(ink) +
                 ", the inverse of the Normal image at the control's centre, has a contrast of " +
                 ratio + " against the " + worst_image +
                 " image around it (3:1 is the least that reads)");
  }
}

}  // namespace portico
