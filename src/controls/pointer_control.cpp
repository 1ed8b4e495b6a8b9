#include "controls/pointer_control.h"

#include <cmath>
#include <cstdlib>

#include "controls/angles.h"

namespace portico {

namespace {
// floor(sqrt(s)) exactly, for any s below 2^63.
int64_t IntegerSqrt(uint64_t s) {
  auto r = static_cast<int64_t>(std::sqrt(static_cast<double>(s)));
  while (r > 0 && static_cast<uint64_t>(r) * static_cast<uint64_t>(r) > s) --r;
  while (static_cast<uint64_t>(r + 1) * static_cast<uint64_t>(r + 1) <= s) ++r;
  return r;
}
}  // namespace

TRegionShape ClassifyRegion(TPoint center, int32_t outer_radius, int32_t inner_radius,
                            TPoint arc_start, TPoint arc_end) {
  TRegionShape shape;
  using R = TRegionRule;
  if (center.X < 0) shape.Broken = R::CentreXNegative;
  else if (center.Y < 0) shape.Broken = R::CentreYNegative;
  else if (outer_radius <= 0) shape.Broken = R::OuterRadiusNotPositive;
  else if (inner_radius <= 0) shape.Broken = R::InnerRadiusNotPositive;
  else if (outer_radius <= inner_radius) shape.Broken = R::InnerRadiusNotBelowOuter;
  if (shape.Broken != R::None) return shape;
  shape.IsRing = true;
  if (arc_start.X < 0) shape.Broken = R::ArcStartXNegative;
  else if (arc_start.Y < 0) shape.Broken = R::ArcStartYNegative;
  else if (arc_end.X < 0) shape.Broken = R::ArcEndXNegative;
  else if (arc_end.Y < 0) shape.Broken = R::ArcEndYNegative;
  shape.IsArc = shape.Broken == R::None;
  return shape;
}

TPointerControl::TPointerControl(const TRect& bounds, TPoint center, int32_t outer_radius,
                                 int32_t inner_radius, TPoint arc_start, TPoint arc_end)
    : Bounds(bounds),
      OuterRadius(outer_radius),
      InnerRadius(inner_radius),
      Center(center),
      ArcStart(arc_start),
      ArcEnd(arc_end) {
  const TRegionShape shape = ClassifyRegion(center, outer_radius, inner_radius, arc_start, arc_end);
  IsRing = shape.IsRing;
  IsArc = shape.IsArc;
  if (IsArc) SweepAngle = ArcAngle(Center, ArcStart, ArcEnd);
}

bool TPointerControl::RingHitTest(int32_t x, int32_t y) const {
  // Distances in 64 bits, so that a point far from the centre is never
  // wrongly inside. An offset beyond the outer radius is outside anyway,
  // which also keeps the squared sum below 2^63.
  int64_t dx = int64_t{x} - Center.X, dy = int64_t{y} - Center.Y;
  if (std::llabs(dx) > OuterRadius || std::llabs(dy) > OuterRadius) return false;
  int64_t d = IntegerSqrt(static_cast<uint64_t>(dx * dx) + static_cast<uint64_t>(dy * dy));
  if (d > OuterRadius) return false;
  if (InnerRadius > 0 && d < InnerRadius) return false;
  if (!IsArc) return true;
  return ArcAngle(Center, ArcStart, TPoint{x, y}) <= SweepAngle;
}

}  // namespace portico
