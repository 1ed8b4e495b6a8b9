#include "controls/angles.h"

#include <cmath>

namespace portico {

namespace {
constexpr double DegreesPerRadian = 57.29577951308232;

double Direction(double dx, double dy) {
  if (dx == 0.0 && dy == 0.0) return 0.0;
  double a = std::atan2(dy, dx) * DegreesPerRadian;
  if (a < 0) a += 360.0;
  return a;
}
}  // namespace

double VectorAngle(int32_t dx, int32_t dy) { return Direction(dx, dy); }

double ArcAngle(TPoint centre, TPoint from, TPoint to) {
  // Differences in 64 bits: skin coordinates may be far apart.
  double a = Direction(double(int64_t{to.X} - centre.X), double(int64_t{to.Y} - centre.Y)) -
             Direction(double(int64_t{from.X} - centre.X), double(int64_t{from.Y} - centre.Y));
  if (a < 0) a += 360.0;
  return a;
}

}  // namespace portico
