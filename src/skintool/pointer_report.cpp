#include "skintool/pointer_report.h"

#include <algorithm>
#include <cstdio>

#include "app/unit_install.h"
#include "app/window_shape.h"

namespace portico {

TPointerReport::TPointerReport(const std::string& path) : path_(path), probe_(path) {
  if (!probe_.Skin->MaskFile.empty())
    mask_ = MaskRegionAtScale(probe_.Skin->MaskFile, MaskKeyColor, 1);
  cover_ = std::make_unique<TWindowCover>(mask_);
}

std::optional<int> TPointerReport::ScaleOf(TPoint size) const {
  const TBitmap* normal = probe_.Skin->BitmapNormal.get();
  if (!normal || normal->Width() <= 0 || size.X <= 0) return std::nullopt;
  // Rounded: a window manager may add or take a pixel.
  return std::max(1, int((size.X + normal->Width() / 2) / normal->Width()));
}

const TPointerReport::TAtScale& TPointerReport::AtScale(int k) const {
  if (scaled_.Scale == k && scaled_.Probe) return scaled_;
  scaled_ = TAtScale{};
  scaled_.Scale = k;
  scaled_.Probe = std::make_unique<TSkinProbe>(path_, k);
  // An image left out at the scale is among check's findings.
  std::string left_out;
  if (!scaled_.Probe->Skin->MaskFile.empty())
    scaled_.Mask = MaskRegionAtScale(scaled_.Probe->Skin->MaskFile, MaskKeyColor, k, nullptr, &left_out);
  scaled_.Cover = std::make_unique<TWindowCover>(scaled_.Mask);
  return scaled_;
}

std::string TPointerReport::Describe(TPoint at, TPoint size) const {
  if (at.X < 0 || at.Y < 0 || at.X >= size.X || at.Y >= size.Y) return "pointer outside the window";
  const int k = ScaleOf(size).value_or(1);
  // The launcher divides the pointer by its scale factor for the hit test.
  const int32_t x = at.X / k, y = at.Y / k;
  std::string text = "pointer at " + std::to_string(x) + "," + std::to_string(y) + ": ";
  std::string hits;
  bool enabled_hit = false;
  for (const auto& b : probe_.Skin->Buttons) {
    if (!b->HitTest(x, y)) continue;
    if (!hits.empty()) hits += " + ";
    hits += b->Name + (b->Enabled ? "" : " (disabled)");
    enabled_hit = enabled_hit || b->Enabled;
  }
  // The pixels and outline as shown: at 1x, or of the skin at the scale.
  const TSkin* shown = probe_.Skin.get();
  const TWindowCover* cover = cover_.get();
  int32_t px = x, py = y;
  if (k > 1) {
    const TAtScale& scaled = AtScale(k);
    shown = scaled.Probe->Skin.get();
    cover = scaled.Cover.get();
    px = at.X;
    py = at.Y;
  }
  if (!cover->Keeps(px, py))
    text += "cut away by the mask";
  else if (!enabled_hit)
    text += hits.empty() ? "no control, a press drags the window" : hits + ", a press drags the window";
  else
    text += hits;
  if (const TBitmap* normal = shown->BitmapNormal.get();
      normal && px < normal->Width() && py < normal->Height()) {
    char colour[32];
    std::snprintf(colour, sizeof colour, "; Normal #%06x", unsigned(normal->Pixel(px, py) & 0xFFFFFF));
    text += colour;
  }
  return text;
}

}  // namespace portico
