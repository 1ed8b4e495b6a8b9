// The images drawn for high-DPI screens: NAME@kx.EXT beside a [SCREEN]
// image is taken at screen scale k only when it is exactly k times the
// image's size; otherwise the launcher leaves it out and enlarges the 1x
// image, which the designer rarely means.
#include "skin/scaled_image.h"
#include "skintool/check_steps.h"

namespace portico {

namespace {
constexpr const char* ScreenKeys[] = {"Normal", "Over", "Down", "Disable", "Mask", "Alpha"};
}  // namespace

void CheckScaledImages(const TCheckInput& in, TFindingList& out) {
  const TSkinProbe& probe = in.Probe;
  for (const char* key : ScreenKeys) {
    const std::string path = SkinImagePath(probe.Ini, probe.Folder, key);
    if (path.empty()) continue;
    for (int k : CheckedScales) {
      std::string why;
      ImageFileAtScale(path, k, why);
      if (!why.empty())
        out.Warn(probe.Ini.KeyLine("SCREEN", key), "scaled-image-size",
                 "at screen scale " + std::to_string(k) + ", " + why);
    }
  }
}

}  // namespace portico
