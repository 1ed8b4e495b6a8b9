#include "skintool/pointer_report.h"

#include <algorithm>
#include <cstdio>

#include "app/unit_install.h"
#include "app/window_shape.h"

namespace portico {

TPointerReport::TPointerReport(const std::string& path)
    : path_(path), base_(std::make_unique<const TAtScale>(path, 1)) {}

TPointerReport::TAtScale::TAtScale(const std::string& path, int k) : Scale(k), Probe(path, k) {
  // An image left out at the scale is among check's findings.
  std::string left_out;
  if (!Probe.Skin->MaskFile.empty())
    Mask = MaskRegionAtScale(Probe.Skin->MaskFile, MaskKeyColor, k, nullptr, &left_out);
  Cover = std::make_unique<TWindowCover>(Mask);
}

std::optional<int> TPointerReport::ScaleOf(TPoint size) const {
  const TBitmap* normal = base_->Probe.Skin->BitmapNormal.get();
  if (!normal || normal->Width() <= 0 || size.X <= 0) return std::nullopt;
  // Rounded: a window manager may add or take a pixel.
  return std::max(1, int((size.X + normal->Width() / 2) / normal->Width()));
}

const TPointerReport::TAtScale& TPointerReport::AtScale(int k) const {
  if (k <= 1) return *base_;
  if (!scaled_ || scaled_->Scale != k) scaled_ = std::make_unique<TAtScale>(path_, k);
  return *scaled_;
}

std::string TPointerReport::Describe(TPoint at, TPoint size) const {
  if (at.X < 0 || at.Y < 0 || at.X >= size.X || at.Y >= size.Y) return "pointer outside the window";
  const int k = ScaleOf(size).value_or(1);
  // The launcher divides the pointer by its scale factor for the hit test.
  const int32_t x = at.X / k, y = at.Y / k;
  std::string text = "pointer at " + std::to_string(x) + "," + std::to_string(y) + ": ";
  std::string hits;
  bool enabled_hit = false;
  for (const auto& b : base_->Probe.Skin->Buttons) {
    if (!b->HitTest(x, y)) continue;
    if (!hits.empty()) hits += " + ";
    hits += b->Name + (b->Enabled ? "" : " (disabled)");
    enabled_hit = enabled_hit || b->Enabled;
  }
  // The pixels and the outline as shown: those of the skin at the scale.
  const TAtScale& shown = AtScale(k);
  const int32_t px = k > 1 ? at.X : x, py = k > 1 ? at.Y : y;
  if (!shown.Cover->Keeps(px, py))
    text += "cut away by the mask";
  else if (!enabled_hit)
    text += hits.empty() ? "no control, a press drags the window" : hits + ", a press drags the window";
  else
    text += hits;
  if (const TBitmap* normal = shown.Probe.Skin->BitmapNormal.get();
      normal && px < normal->Width() && py < normal->Height()) {
    char colour[32];
    std::snprintf(colour, sizeof colour, "; Normal #%06x", unsigned(normal->Pixel(px, py) & 0xFFFFFF));
    text += colour;
  }
  return text;
}

}  // namespace portico
