// The window against the screens it is shown on: the launcher centres it
// on the primary monitor, so a window larger than the monitor starts
// above and left of it, where its controls may be out of reach.
#include <algorithm>

#include "classlib/controls.h"
#include "skin/scaled_image.h"
#include "skintool/check_steps.h"

namespace portico {

namespace {
// The smallest screen in common use on laptops.
constexpr TRect SmallLaptop{0, 0, 1366, 768};

std::string Size(int64_t w, int64_t h) { return std::to_string(w) + " x " + std::to_string(h); }

// "4000 x 3000 (8000 x 6000 at scale 2)": the window at each scale the
// skin has images drawn for.
std::string SizesText(const TBitmap& normal, const std::vector<int>& scales) {
  std::string text = Size(normal.Width(), normal.Height());
  for (int k : scales)
    text += std::string(k == scales.front() ? " (" : ", ") +
            Size(int64_t{normal.Width()} * k, int64_t{normal.Height()} * k) + " at scale " +
            std::to_string(k);
  return scales.empty() ? text : text + ")";
}

// How many controls lie wholly outside the monitor once the window of
// `scale` is centred on it.
size_t ControlsOffScreen(const TCheckInput& in, const TRect& monitor, TPoint at, int scale) {
  size_t off = 0;
  for (const TCheckedControl& c : CheckedControls(in)) {
    const TRect& b = c.Button->Bounds;
    const TRect placed{
        int32_t(std::clamp<int64_t>(at.X + int64_t{b.Left} * scale, INT32_MIN, INT32_MAX)),
        int32_t(std::clamp<int64_t>(at.Y + int64_t{b.Top} * scale, INT32_MIN, INT32_MAX)),
        int32_t(std::clamp<int64_t>(at.X + int64_t{b.Right} * scale, INT32_MIN, INT32_MAX)),
        int32_t(std::clamp<int64_t>(at.Y + int64_t{b.Bottom} * scale, INT32_MIN, INT32_MAX))};
    off += IntersectRect(placed, monitor).IsEmpty();
  }
  return off;
}

void CheckOn(const TCheckInput& in, const TRect& monitor, int scale, const std::string& which,
             const std::vector<int>& scales, TFindingList& out) {
  const TBitmap& normal = *in.Probe.Skin->BitmapNormal;
  const int64_t w = int64_t{normal.Width()} * scale, h = int64_t{normal.Height()} * scale;
  if (w <= monitor.Width() && h <= monitor.Height()) return;
  const TPoint at = CentredOn(monitor, int32_t(std::min<int64_t>(w, INT32_MAX)),
                              int32_t(std::min<int64_t>(h, INT32_MAX)));
  std::string text =
      "the " + SizesText(normal, scales) + " window is larger than " + which + " (" +
      Size(monitor.Width(), monitor.Height()) +
      (scale > 1 ? ", where the launcher runs at scale " + std::to_string(scale) : "") +
      "): the launcher centres it at " + std::to_string(at.X - monitor.Left) + "," +
      std::to_string(at.Y - monitor.Top) + " and the parts beyond the screen cannot be reached";
  if (const size_t off = ControlsOffScreen(in, monitor, at, scale))
    text += ", " + std::to_string(off) + " control(s) among them";
  out.Warn(in.Probe.Ini.KeyLine("SCREEN", "Normal"), "window-larger-than-screen", text);
}
}  // namespace

void CheckScreenSize(const TCheckInput& in, TFindingList& out) {
  const TBitmap* normal = in.Probe.Skin->BitmapNormal.get();
  if (!normal) return;
  std::vector<int> scales;
  const std::string path = SkinImagePath(in.Probe.Ini, in.Probe.Folder, "Normal");
  for (int k : CheckedScales) {
    std::string why;
    if (!ImageFileAtScale(path, k, why).empty()) scales.push_back(k);
  }
  CheckOn(in, SmallLaptop, 1, "a small laptop's screen", scales, out);
  if (in.Screen && in.Screen->Scale >= 1 && !in.Screen->Monitor.IsEmpty())
    CheckOn(in, in.Screen->Monitor, in.Screen->Scale, "this computer's screen", scales, out);
}

}  // namespace portico
