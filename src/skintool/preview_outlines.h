// The window over a checkerboard, as each kind of display outlines it:
// where a compositing manager runs (the opacity applied), and where none
// does (the mask's outline), so that an opacity image at odds with the
// mask shows at a glance.
#pragma once
#include "skintool/preview_panels.h"

namespace portico {

// The first look blended over a checkerboard by the opacity the launcher
// gives the window under a compositor; by the mask's outline when it
// gives none. `opacity_used` tells which.
TPanelPicture ShowComposited(const TSkinProbe& probe, const TPanelPicture& first_look,
                             bool& opacity_used);

// The first look where the window has no compositor: its outline over a
// checkerboard (the mask's, or with no mask named the Normal image's
// alpha at half opacity and above).
TPanelPicture ShowUncomposited(const TSkinProbe& probe, const TPanelPicture& first_look);

}  // namespace portico
