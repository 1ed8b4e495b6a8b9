// The opacity image against the mask. Where a compositing manager runs the
// opacity outlines the window, elsewhere the mask does; drawn apart, the
// window has another shape on each display, and an opacity image drawn
// inverted leaves the window invisible where it is used.
#include "app/window_opacity.h"
#include "skintool/check_steps.h"
#include "skintool/measures.h"
#include "skintool/names.h"
#include "skintool/window_cover.h"

namespace portico {

namespace {
// Disagreement on fewer of the kept or cut pixels than this share (in
// hundredths of a percent) is an edge drawn a pixel apart: not reported.
constexpr uint64_t ToleratedBasisPoints = 100;

bool Beyond(uint64_t part, uint64_t whole) { return part * 10000 > whole * ToleratedBasisPoints; }
}  // namespace

void CheckAlphaAgainstMask(const TCheckInput& in, TFindingList& out) {
  const TSkin& skin = *in.Probe.Skin;
  const TIniFile& ini = in.Probe.Ini;
  if (!in.Mask || !skin.BitmapNormal || skin.AlphaFile.empty()) return;
  const int32_t w = skin.BitmapNormal->Width(), h = skin.BitmapNormal->Height();
  std::string why;
  const std::optional<TAlphaMap> alpha = ReadAlphaMap(skin.AlphaFile, w, h, why);
  if (!alpha) return;  // alpha-unusable says why
  const TWindowCover cover(in.Mask);
  uint64_t kept = 0, cut = 0, kept_clear = 0, cut_opaque = 0;
  std::optional<TPoint> example;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t a = alpha->At(x, y);
      const bool keeps = cover.Keeps(x, y);
      const bool disagree = keeps ? a == 0 : a == 0xFF;
      (keeps ? kept : cut) += 1;
      if (disagree) (keeps ? kept_clear : cut_opaque) += 1;
      if (disagree && !example) example = TPoint{x, y};
    }
  if (!Beyond(kept_clear, kept) && !Beyond(cut_opaque, cut)) return;
  const bool inverted = 2 * (kept_clear + cut_opaque) > kept + cut;
  std::string text = "opacity image " + Quoted(ini.ReadString("SCREEN", "Alpha", "")) +
                     (inverted ? " looks inverted against the mask" : " and the mask disagree") + ":";
  if (kept > 0)
    text += " it makes " + PixelShare(kept_clear, kept) + " of the " + std::to_string(kept) +
            " the mask keeps fully transparent" + (cut > 0 ? ";" : "");
  if (cut > 0)
    text += " it makes " + PixelShare(cut_opaque, cut) + " of the " + std::to_string(cut) +
            " the mask cuts away fully opaque";
  text += "; for example at " + PointText(example->X, example->Y) +
          "; where a compositing manager runs the window takes the opacity's shape, elsewhere the "
          "mask's";
  if (inverted) text += " (in the opacity image black is transparent and white opaque)";
  out.Warn(ini.KeyLine("SCREEN", "Alpha"), "alpha-mask-mismatch", text);
}

}  // namespace portico
