// `portico-skin preview`: one contact sheet of a skin, every picture on it
// made with the launcher's own loading, composition, caption and hit-test
// code.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "skintool/findings.h"

namespace portico {

struct TPreviewPanel {
  std::string Title;
  TRect Area;  // where the picture lies on the sheet
};

struct TPreviewSheet {
  TBitmap Image;
  std::vector<uint8_t> Alpha;  // per pixel: 0 transparent, 255 opaque
  // Window pixels per sheet pixel along each side: large skins are shrunk
  // so that the sheet stays within MaxSheetSide.
  int32_t Scale = 1;
  // As first shown, hot areas, Over, Down, Disabled, with a compositor,
  // without one, in this order.
  std::vector<TPreviewPanel> Panels;
  // What a screen reader announces, a line each (window, then controls).
  std::vector<std::string> Announcements;
};

constexpr int32_t MaxSheetSide = 8192;

// The sheet of the description at `path`, with `version` as the launcher's
// version text, as the launcher draws it at screen scale `scale` (the
// images drawn for it, the mask's outline and the hot areas k times
// larger), with the check's `findings` as text under the panels; none,
// with the reason in `why`, for a skin without a Normal image. Needs the
// global Application (headless will do).
std::optional<TPreviewSheet> BuildPreviewSheet(const std::string& path, const std::string& version,
                                               std::string& why, int scale = 1,
                                               const std::vector<TFinding>& findings = {});

}  // namespace portico
