// A control as the pointer sees it: its hit region (a rectangle, a ring or
// an arc of a ring), whether it takes clicks, and its pointer-state flags.
#pragma once
#include <cstdint>

#include "graphics/types.h"

namespace portico {

// The first rule that keeps a control's centre, radii and arc points from
// making a ring (or from limiting the ring to an arc).
enum class TRegionRule {
  None,
  CentreXNegative,
  CentreYNegative,
  OuterRadiusNotPositive,
  InnerRadiusNotPositive,
  InnerRadiusNotBelowOuter,
  ArcStartXNegative,
  ArcStartYNegative,
  ArcEndXNegative,
  ArcEndYNegative,
};

// What a control's ring fields make of its hit region: a ring needs a
// centre at or right of and below the origin and outer > inner > 0; an arc
// needs a ring and four arc coordinates >= 0. Broken names the rule that
// stopped the first of them that is not made.
struct TRegionShape {
  bool IsRing = false;
  bool IsArc = false;
  TRegionRule Broken = TRegionRule::None;
};
TRegionShape ClassifyRegion(TPoint center, int32_t outer_radius, int32_t inner_radius,
                            TPoint arc_start, TPoint arc_end);

class TPointerControl {
 public:
  // Sets the region and derives IsRing, IsArc and SweepAngle from the
  // centre, radii and arc points (which are kept as given).
  TPointerControl(const TRect& bounds, TPoint center, int32_t outer_radius, int32_t inner_radius,
                  TPoint arc_start, TPoint arc_end);

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
  // in Changed) when the look or the click state changed. `over_window`
  // false: the pointer has left the window, whatever (x, y) say.
  bool UpdateState(int32_t x, int32_t y, bool button_down, bool foreground, bool over_window = true);
  // The same rule for a step that has decided already: `inside`, the
  // control is lit (under the pointer, or focused while the keyboard holds
  // the lit state; never without the foreground); `pressed`, what presses
  // it is held (the primary button, or Enter or Space).
  bool UpdateLook(bool inside, bool pressed, bool foreground);

  // A point of the hit region (HitTest takes it), in frame coordinates:
  // the rectangle's centre, the middle of a ring's band (of an arc, at the
  // middle of its sweep), or, where rounding or the rectangle cut those
  // off, some other point of the region. Bounds.Left, Bounds.Top when the
  // region is empty.
  TPoint InsidePoint() const;
  // The rectangle around the control as drawn, in frame coordinates
  // (Right and Bottom exclusive): Bounds for a rectangle; for a ring or an
  // arc the smallest rectangle around it, cut to Bounds.
  TRect RegionBounds() const;

  bool Enabled = true;
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
};

}  // namespace portico
