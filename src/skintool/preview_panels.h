// The pictures of a preview sheet, each as large as the window: the
// launcher's own frame in each look, and a map of where controls answer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "skintool/skin_probe.h"
#include "skintool/window_cover.h"

namespace portico {

// A picture with an alpha value (0 transparent, 255 opaque) per pixel.
struct TPanelPicture {
  TBitmap Pixels;
  std::vector<uint8_t> Alpha;
};

// The frame as the launcher composes it at start-up, then with every
// control forced into one look; the mask's cut-away parts transparent.
enum class TControlLook { AsFirstShown, Over, Down, Disabled };
TPanelPicture ComposeLook(TSkinProbe& probe, const TWindowCover& cover, TControlLook look);

// Where a control's name goes on the map, in window pixels, and in which colour.
struct TMapLabel {
  std::string Name;
  TPoint At;
  uint32_t Colour;  // 0x00RRGGBB
};

// The first frame, faded, with each control's hit area filled and outlined
// in its own colour as the launcher's hit test traces it, and the
// cut-away parts hatched. Controls too costly to trace get their bounds
// outlined instead.
TPanelPicture DrawHitMap(const TSkinProbe& probe, const TWindowCover& cover,
                         std::vector<TMapLabel>& labels);

}  // namespace portico
