#include "skin/skin_button.h"

namespace portico {

TSkinButton::TSkinButton(const std::string& name, int32_t left, int32_t top, int32_t right,
                         int32_t bottom, int32_t center_x, int32_t center_y, int32_t outer_radius,
                         int32_t inner_radius, int32_t arc_start_x, int32_t arc_start_y,
                         int32_t arc_end_x, int32_t arc_end_y)
    : TPointerControl(TRect{left, top, right, bottom}, TPoint{center_x, center_y}, outer_radius,
                      inner_radius, TPoint{arc_start_x, arc_start_y}, TPoint{arc_end_x, arc_end_y}),
      Name(name),
      TextRect{left, top, right, bottom} {}

}  // namespace portico
