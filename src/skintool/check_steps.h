// The steps of the check, one file each, and what they share.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/window_shape.h"
#include "skintool/findings.h"
#include "skintool/hit_map.h"
#include "skintool/skin_check.h"
#include "skintool/skin_probe.h"
#include "skintool/unread_lines.h"

namespace portico {

struct TCheckInput {
  TSkinProbe& Probe;
  TUnreadLines Unread;
  // The window's outline as the launcher builds it; none for a plain
  // rectangle, and then MaskWhy says why (empty without a Mask key).
  std::optional<MaskRegion> Mask;
  std::string MaskWhy;
  // The screen the tool runs on, when it has one.
  std::optional<TToolScreen> Screen = {};
  // Made by ControlHitMap on first use.
  mutable std::unique_ptr<THitMap> HitMap = {};
};

// The screen scales designers draw images for (NAME@2x.EXT ...); the
// launcher looks for the same name at any.
inline constexpr int CheckedScales[] = {2, 3, 4};

// A control the loader made, with the description line it comes from.
struct TCheckedControl {
  const TSkinButton* Button;
  int Line;
};
// The skin's controls in the order of the description.
std::vector<TCheckedControl> CheckedControls(const TCheckInput& in);
// Where each of them answers the pointer over the Normal image, in the
// order of CheckedControls; needs the Normal image.
const THitMap& ControlHitMap(const TCheckInput& in);

// The description's bytes: encodings the reader cannot read. False when
// the reader can make nothing of the file at all.
bool CheckEncoding(const TCheckInput& in, TFindingList& out);
// Sections, keys and lines the launcher never reads; values it cuts.
void CheckUnreadLines(const TCheckInput& in, TFindingList& out);
// The state images, the arrow image and the mask.
void CheckImages(const TCheckInput& in, TFindingList& out);
// The images drawn for high-DPI screens (NAME@2x.EXT ...) of a wrong size.
void CheckScaledImages(const TCheckInput& in, TFindingList& out);
// [BUTTONPOS] lines the scan skips, reads in part, or makes less of.
void CheckControlLines(const TCheckInput& in, TFindingList& out);
// "Install" and "Exit" with their near misses, other special names,
// names used twice, "URL" without a target.
void CheckControlNames(const TCheckInput& in, TFindingList& out);
// Controls outside the image or under the mask's cut-away parts, and
// controls that overlap.
void CheckLayout(const TCheckInput& in, TFindingList& out);
// Captions whose colour is too close to the pixels around them.
void CheckCaptionContrast(const TCheckInput& in, TFindingList& out);
// Names for screen readers, and whether the keyboard focus shows.
void CheckAccessibility(const TCheckInput& in, TFindingList& out);
// The mask's colours: no pure white, light fringes kept, drawn inverted.
void CheckMaskColours(const TCheckInput& in, TFindingList& out);
// The opacity image against the mask: where they disagree on the outline.
void CheckAlphaAgainstMask(const TCheckInput& in, TFindingList& out);
// Hot areas that answer nowhere, rings cut by their rectangles or with a
// dead centre, arcs' sweeps, lit looks outside a ring, unchanged looks.
void CheckHitAreas(const TCheckInput& in, TFindingList& out);
// A window larger than the screens it is shown on.
void CheckScreenSize(const TCheckInput& in, TFindingList& out);
// CMYK JPEG images, whose colours the launcher converts without a profile.
void CheckJpegColours(const TCheckInput& in, TFindingList& out);

}  // namespace portico
