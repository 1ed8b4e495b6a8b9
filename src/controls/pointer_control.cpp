#include "controls/pointer_control.h"

#include <algorithm>
#include <climits>
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

namespace {
constexpr double RadiansPerDegree = 0.017453292519943295;

// The point at `radius` from the centre in the direction `degrees`
// (clockwise on the screen from pointing right).
TPoint AtAngle(TPoint centre, double radius, double degrees) {
  const double a = degrees * RadiansPerDegree;
  return TPoint{static_cast<int32_t>(std::lround(centre.X + radius * std::cos(a))),
                static_cast<int32_t>(std::lround(centre.Y + radius * std::sin(a)))};
}
}  // namespace

TPoint TPointerControl::InsidePoint() const {
  const TPoint centre{static_cast<int32_t>((int64_t{Bounds.Left} + Bounds.Right) / 2),
                      static_cast<int32_t>((int64_t{Bounds.Top} + Bounds.Bottom) / 2)};
  if (!IsRing) return centre;
  const double start = IsArc ? VectorAngle(ArcStart.X - Center.X, ArcStart.Y - Center.Y) : 0.0;
  const double middle = (double(OuterRadius) + InnerRadius) / 2;
  // The middle of the band, then a few other directions across the sweep.
  for (double part : {0.5, 0.25, 0.75, 0.0, 1.0}) {
    const TPoint p = AtAngle(Center, middle, start + SweepAngle * part);
    if (HitTest(p.X, p.Y)) return p;
  }
  // The rectangle cuts the ring: look for any point of the region.
  const int64_t w = int64_t{Bounds.Right} - Bounds.Left, h = int64_t{Bounds.Bottom} - Bounds.Top;
  if (w < 0 || h < 0) return TPoint{Bounds.Left, Bounds.Top};
  const int64_t step_x = std::max<int64_t>(1, w / 64), step_y = std::max<int64_t>(1, h / 64);
  for (int64_t y = Bounds.Top; y <= Bounds.Bottom; y += step_y)
    for (int64_t x = Bounds.Left; x <= Bounds.Right; x += step_x)
      if (HitTest(static_cast<int32_t>(x), static_cast<int32_t>(y)))
        return TPoint{static_cast<int32_t>(x), static_cast<int32_t>(y)};
  return TPoint{Bounds.Left, Bounds.Top};
}

TRect TPointerControl::RegionBounds() const {
  if (!IsRing) return Bounds;
  // The ring's square, or an arc's extremes: the band's ends at both
  // radii and the outer radius where the sweep crosses an axis.
  // Worked out in doubles (exact at these sizes) and held to the
  // coordinate range, which a ring far out reaches past.
  const auto held = [](double v) {
    return static_cast<int32_t>(std::clamp(v, double(INT32_MIN), double(INT32_MAX)));
  };
  TRect around{held(double(Center.X) - OuterRadius), held(double(Center.Y) - OuterRadius),
               held(double(Center.X) + OuterRadius + 1), held(double(Center.Y) + OuterRadius + 1)};
  if (IsArc) {
    const double start = VectorAngle(ArcStart.X - Center.X, ArcStart.Y - Center.Y);
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    auto take = [&](double radius, double degrees) {
      const double a = degrees * RadiansPerDegree;
      const double x = Center.X + radius * std::cos(a), y = Center.Y + radius * std::sin(a);
      left = std::min(left, held(std::floor(x)));
      top = std::min(top, held(std::floor(y)));
      right = std::max(right, held(std::ceil(x) + 1));
      bottom = std::max(bottom, held(std::ceil(y) + 1));
    };
    for (double radius : {double(InnerRadius), double(OuterRadius)}) {
      take(radius, start);
      take(radius, start + SweepAngle);
    }
    for (int axis = 0; axis < 4; ++axis) {
      double offset = axis * 90.0 - start;
      if (offset < 0) offset += 360.0;
      if (offset <= SweepAngle) take(OuterRadius, axis * 90.0);
    }
    around = IntersectRect(around, TRect{left, top, right, bottom});
  }
  const TRect cut = IntersectRect(around, Bounds);
  return cut.IsEmpty() ? TRect{Bounds.Left, Bounds.Top, Bounds.Left, Bounds.Top} : cut;
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
