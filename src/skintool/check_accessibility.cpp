// What keyboard and screen-reader users get of a skin: whether the
// description names the window and its controls for a screen reader, and
// whether the keyboard focus, which shows a control's Over look, can be
// seen at all.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/accessibility_names.h"
#include "skintool/check_steps.h"
#include "skintool/contrast.h"
#include "skintool/names.h"

namespace portico {

namespace {
// Below this between a control's Normal and Over looks, the focus does
// not show.
constexpr double MinimumFocusContrast = 1.5;

// How far the Over look stands out from the Normal one over `box`: the
// contrast that 1 % of its pixels reach or pass (a few stray pixels, as
// JPEG noise leaves them, do not make a focus visible).
double FocusContrast(const TBitmap& normal, const TBitmap& over, const TRect& box) {
  const TRect r = IntersectRect(IntersectRect(box, normal.BoundsRect()), over.BoundsRect());
  std::vector<double> ratios;
  ratios.reserve(size_t(std::max(0, r.Width())) * size_t(std::max(0, r.Height())));
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x)
      ratios.push_back(
          ContrastRatio(RelativeLuminance(normal.Pixel(x, y)), RelativeLuminance(over.Pixel(x, y))));
  if (ratios.empty()) return 21;  // nothing to compare: not this check's finding
  const size_t rank = ratios.size() - 1 - ratios.size() / 100;
  std::nth_element(ratios.begin(), ratios.begin() + ptrdiff_t(rank), ratios.end());
  return ratios[rank];
}
}  // namespace

void CheckAccessibility(const TCheckInput& in, TFindingList& out) {
  const TSkinProbe& probe = in.Probe;
  const TSkin& skin = *probe.Skin;
  const TAccessibilityNames names(probe.Ini, probe.FileName);
  const bool has_section = probe.Ini.SectionLine(AccessibilitySection) != 0;
  if (!has_section)
    out.Warn(0, "accessibility-name-missing",
             "no [" + std::string(AccessibilitySection) + "] section: a screen reader announces the window as " +
                 Quoted(names.Window()) + " and each control by its name");
  for (const TProbedLine& p : probe.Lines) {
    const TSkinButton* b = p.Button;
    if (!b) continue;
    if (has_section && !names.HasEntry(b->Name) && AccessibleRoleOf(b->Name) != TAccessibleRole::Label)
      out.Warn(p.Line, "accessibility-name-missing",
               Quoted(b->Name) + " has no entry in [" + AccessibilitySection +
                   "]: a screen reader announces it by its name");
    if (!b->Enabled || !skin.BitmapNormal || !skin.BitmapOver) continue;
    const double contrast = FocusContrast(*skin.BitmapNormal, *skin.BitmapOver, b->RegionBounds());
    if (contrast >= MinimumFocusContrast) continue;
    char ratio[16];
    std::snprintf(ratio, sizeof ratio, "%.2f:1", contrast);
    out.Warn(p.Line, "focus-invisible",
             "the keyboard focus on " + Quoted(b->Name) +
                 " would not show: its Over look differs from its Normal look by a contrast of " +
                 ratio + " over the control's rectangle (1.5:1 is the least that shows)");
  }
}

}  // namespace portico
