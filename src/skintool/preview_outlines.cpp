#include "skintool/preview_outlines.h"

#include "app/window_opacity.h"
#include "app/window_shape.h"

namespace portico {

namespace {
uint32_t Checker(int32_t x, int32_t y) { return ((x / 8) + (y / 8)) % 2 ? 0xBDBDBD : 0xF4F4F4; }

uint32_t Blend(uint32_t under, uint32_t over, unsigned alpha) {
  auto channel = [&](int shift) {
    const unsigned u = (under >> shift) & 0xFF, o = (over >> shift) & 0xFF;
    return ((o * alpha + u * (255 - alpha) + 127) / 255) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

// The picture over the checkerboard, each pixel at its opacity; opaque.
TPanelPicture OverCheckerboard(const TBitmap& pixels, const std::vector<uint8_t>& opacity) {
  TPanelPicture out{pixels, std::vector<uint8_t>(opacity.size(), 255)};
  size_t k = 0;
  for (int32_t y = 0; y < pixels.Height(); ++y)
    for (int32_t x = 0; x < pixels.Width(); ++x, ++k)
      out.Pixels.SetPixel(x, y, Blend(Checker(x, y), pixels.Pixel(x, y), opacity[k]));
  return out;
}
}  // namespace

TPanelPicture ShowComposited(const TSkinProbe& probe, const TPanelPicture& first_look,
                             bool& opacity_used) {
  // An Alpha image drawn for the scale and left out is among the findings.
  std::string left_out;
  const std::optional<TAlphaMap> alpha = CompositedOpacity(*probe.Skin, &left_out);
  const TBitmap& pixels = first_look.Pixels;
  opacity_used = alpha && alpha->Width == pixels.Width() && alpha->Height == pixels.Height();
  if (!opacity_used) return ShowUncomposited(probe, first_look);
  return OverCheckerboard(pixels, alpha->Values);
}

TPanelPicture ShowUncomposited(const TSkinProbe& probe, const TPanelPicture& first_look) {
  const TSkin& skin = *probe.Skin;
  if (skin.MaskFile.empty() && skin.NormalAlpha &&
      skin.NormalAlpha->Width == first_look.Pixels.Width() &&
      skin.NormalAlpha->Height == first_look.Pixels.Height()) {
    std::vector<uint8_t> outline(skin.NormalAlpha->Values.size());
    for (size_t i = 0; i < outline.size(); ++i)
      outline[i] = skin.NormalAlpha->Values[i] >= OutlineOpacity ? 255 : 0;
    return OverCheckerboard(first_look.Pixels, outline);
  }
  // The first look's alpha is the mask's outline already.
  return OverCheckerboard(first_look.Pixels, first_look.Alpha);
}

}  // namespace portico
