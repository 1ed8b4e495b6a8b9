// One control of a skin: a named rectangle, ring or ring arc with an
// optional caption.
#pragma once
#include <string>

#include "controls/pointer_control.h"
#include "graphics/types.h"

namespace portico {

class TSkinButton : public TPointerControl {
 public:
  // Sets the initial state; the hit region's flags and sweep follow from
  // the centre, radii and arc points (see TPointerControl).
  TSkinButton(const std::string& name, int32_t left, int32_t top, int32_t right, int32_t bottom,
              int32_t center_x, int32_t center_y, int32_t outer_radius, int32_t inner_radius,
              int32_t arc_start_x, int32_t arc_start_y, int32_t arc_end_x, int32_t arc_end_y);

  std::u16string Caption;
  std::string Name;
  TColor TextColor = 0;
  int32_t Alignment = -1;
  int32_t FontSize = 8;
  TRect TextRect;
};

}  // namespace portico
