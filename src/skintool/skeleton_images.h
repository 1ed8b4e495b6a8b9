// `portico-skin new`: the guide images a designer paints over, one per
// look, each control's outline and name on a neutral background, and the
// mask with rounded corners.
#pragma once
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "skintool/skeleton_layout.h"

namespace portico {

enum class TGuideLook { Normal, Over, Down, Disable };

// The window in one look: every control filled and outlined in that
// look's colours, so that Over and Down differ visibly from Normal over
// each control. Names and the title are drawn the same in every look,
// outside the controls (the version box's centre, whose colour the
// launcher inverts for the version text, stays the control's fill).
TBitmap DrawGuide(TGuideLook look, int32_t width, int32_t height, const std::string& title,
                  const std::vector<TSkeletonControl>& controls);

// The outline: white (cut away) outside a rectangle with rounded corners,
// black inside with the controls outlined in grey; no grey edge pixels.
TBitmap DrawMaskGuide(int32_t width, int32_t height,
                      const std::vector<TSkeletonControl>& controls);

}  // namespace portico
