#include "skin/skin_button.h"

#include "controls/angles.h"

namespace portico {

TSkinButton::TSkinButton(const std::string& name, int32_t left, int32_t top, int32_t right,
                         int32_t bottom, int32_t center_x, int32_t center_y, int32_t outer_radius,
                         int32_t inner_radius, int32_t arc_start_x, int32_t arc_start_y,
                         int32_t arc_end_x, int32_t arc_end_y)
    : Name(name),
      Bounds{left, top, right, bottom},
      OuterRadius(outer_radius),
      InnerRadius(inner_radius),
      Center{center_x, center_y},
      ArcStart{arc_start_x, arc_start_y},
      ArcEnd{arc_end_x, arc_end_y},
      TextRect{left, top, right, bottom} {
  IsRing = center_x >= 0 && center_y >= 0 && outer_radius > 0 && inner_radius > 0 &&
           outer_radius > inner_radius;
  if (IsRing)
    IsArc = arc_start_x >= 0 && arc_start_y >= 0 && arc_end_x >= 0 && arc_end_y >= 0;
  if (IsArc) SweepAngle = ArcAngle(Center, ArcStart, ArcEnd);
}

}  // namespace portico
