#include <gtest/gtest.h>

#include "controls/angles.h"
#include "skin/skin_button.h"

namespace portico {
namespace {

TSkinButton Ring(int cx, int cy, int outer, int inner, TRect b, TPoint a0 = {-1, -1},
                 TPoint a1 = {-1, -1}) {
  return TSkinButton("R", b.Left, b.Top, b.Right, b.Bottom, cx, cy, outer, inner, a0.X, a0.Y, a1.X,
                     a1.Y);
}

TEST(Angles, DirectionsGrowClockwise) {
  EXPECT_DOUBLE_EQ(VectorAngle(0, 0), 0.0);
  EXPECT_DOUBLE_EQ(VectorAngle(1, 0), 0.0);
  EXPECT_DOUBLE_EQ(VectorAngle(0, 1), 90.0);
  EXPECT_DOUBLE_EQ(VectorAngle(-1, 0), 180.0);
  EXPECT_DOUBLE_EQ(VectorAngle(0, -1), 270.0);
  EXPECT_DOUBLE_EQ(ArcAngle({0, 0}, {0, 1}, {1, 0}), 270.0);
}

TEST(ControlConstruction, RingAndArcFlags) {
  TSkinButton plain("P", 0, 0, 10, 10, -1, -1, -1, -1, -1, -1, -1, -1);
  EXPECT_FALSE(plain.IsRing);
  EXPECT_EQ(plain.SweepAngle, 360.0);
  EXPECT_EQ(plain.TextRect, plain.Bounds);

  TSkinButton ring = Ring(50, 50, 20, 10, {0, 0, 100, 100});
  EXPECT_TRUE(ring.IsRing);
  EXPECT_FALSE(ring.IsArc);
  EXPECT_EQ(ring.SweepAngle, 360.0);

  // Inner >= outer, or a full disc (inner 0), is a plain rectangle; its
  // arc points are ignored but kept.
  TSkinButton flat = Ring(50, 50, 10, 10, {0, 0, 100, 100}, {60, 50}, {50, 60});
  EXPECT_FALSE(flat.IsRing);
  EXPECT_FALSE(flat.IsArc);
  EXPECT_EQ(flat.ArcStart, (TPoint{60, 50}));
  EXPECT_FALSE(Ring(50, 50, 10, 0, {0, 0, 100, 100}).IsRing);

  TSkinButton same_direction = Ring(50, 50, 20, 10, {0, 0, 100, 100}, {60, 50}, {70, 50});
  EXPECT_TRUE(same_direction.IsArc);
  EXPECT_EQ(same_direction.SweepAngle, 0.0);
}

TEST(HitTest, RectangleCountsBothEdges) {
  TSkinButton b("B", 0, 0, 10, 10, -1, -1, -1, -1, -1, -1, -1, -1);
  EXPECT_TRUE(b.HitTest(0, 0));
  EXPECT_TRUE(b.HitTest(10, 10));
  EXPECT_FALSE(b.HitTest(11, 5));
  EXPECT_FALSE(b.HitTest(5, -1));
}

TEST(HitTest, RingDistancesAreTruncated) {
  TSkinButton r = Ring(50, 50, 10, 5, {0, 0, 100, 100});
  EXPECT_FALSE(r.HitTest(50, 50));       // centre
  EXPECT_TRUE(r.HitTest(60, 54));        // 10.77 truncates to 10
  EXPECT_FALSE(r.HitTest(61, 50));       // 11
  EXPECT_TRUE(r.HitTest(55, 50));        // exactly the inner radius
  EXPECT_FALSE(r.HitTest(54, 52));       // 4.47
  // Inside the ring but outside the bounds.
  TSkinButton clipped = Ring(50, 50, 10, 5, {50, 0, 100, 100});
  EXPECT_FALSE(clipped.HitTest(42, 50));
}

TEST(HitTest, ArcsIncludeBothBoundaryDirections) {
  TSkinButton a = Ring(100, 100, 60, 20, {40, 40, 160, 160}, {150, 100}, {100, 150});
  EXPECT_DOUBLE_EQ(a.SweepAngle, 90.0);
  EXPECT_TRUE(a.HitTest(130, 130));
  EXPECT_FALSE(a.HitTest(130, 70));
  EXPECT_TRUE(a.HitTest(150, 100));
  EXPECT_TRUE(a.HitTest(100, 150));

  TSkinButton wide = Ring(100, 100, 60, 20, {40, 40, 160, 160}, {100, 150}, {150, 100});
  EXPECT_DOUBLE_EQ(wide.SweepAngle, 270.0);
  EXPECT_TRUE(wide.HitTest(70, 100));
  EXPECT_TRUE(wide.HitTest(130, 70));
  EXPECT_FALSE(wide.HitTest(130, 130));
}

TEST(HitTest, FarPointsAreNeverWronglyInside) {
  // With 32-bit squares, dx = 46341 would wrap to a negative sum.
  TSkinButton r = Ring(0, 0, 2000000000, 1, {-2147483647, -2147483647, 2147483647, 2147483647});
  EXPECT_FALSE(r.HitTest(2147483647, 2147483647));
  EXPECT_TRUE(r.HitTest(46341, 46341));
  TSkinButton small = Ring(0, 0, 100, 50, {-2147483647, -2147483647, 2147483647, 2147483647});
  EXPECT_FALSE(small.HitTest(65536, 65536));
  EXPECT_FALSE(small.HitTest(-2147483647, 0));
}

}  // namespace
}  // namespace portico
