// One control of a skin: a named rectangle, ring or ring arc.
#pragma once
#include <string>

#include "platform/types.h"

namespace portico {

class TSkinButton {
 public:
  // Sets the initial state and derives IsRing, IsArc and SweepAngle from
  // the centre, radii and arc points (which are kept as given).
  TSkinButton(const std::string& name, int32_t left, int32_t top, int32_t right, int32_t bottom,
              int32_t center_x, int32_t center_y, int32_t outer_radius, int32_t inner_radius,
              int32_t arc_start_x, int32_t arc_start_y, int32_t arc_end_x, int32_t arc_end_y);

  // Whether the frame point (x, y) lies on the control. The rectangle test
  // is inline: it rejects most controls on every pointer step.
  bool HitTest(int32_t x, int32_t y) const {
    // Both edges count as inside.
    if (x < Bounds.Left || x > Bounds.Right || y < Bounds.Top || y > Bounds.Bottom) return false;
    return !IsRing || RingHitTest(x, y);
  }
  // The ring and arc part of the hit test, for a point inside Bounds.
  bool RingHitTest(int32_t x, int32_t y) const;
  // Moves the pointer-state flags for one pointer step; true (also stored
  // in Changed) when the look or the click state changed.
  bool UpdateState(int32_t x, int32_t y, bool button_down, bool foreground);

  std::u16string Caption;
  bool Enabled = true;
  std::string Name;
  TColor TextColor = 0;
  int32_t Alignment = -1;
  int32_t FontSize = 8;
  TRect Bounds;
  bool IsRing = false;
  bool IsArc = false;
  int32_t OuterRadius = -1;
  int32_t InnerRadius = -1;
  TPoint Center;
  TPoint ArcStart;
  TPoint ArcEnd;
  double SweepAngle = 360.0;
  bool Down = false;
  bool Hover = false;
  bool Held = false;
  bool Clicked = false;
  bool Changed = false;
  TRect TextRect;
};

}  // namespace portico
