// The angle rule shared by hit testing and control construction: degrees,
// 0 pointing right, growing clockwise on the screen, in [0, 360).
#pragma once
#include <cstdint>

#include "graphics/types.h"

namespace portico {

double VectorAngle(int32_t dx, int32_t dy);
// Clockwise angle from the direction of `from` to the direction of `to`,
// both seen from `centre`.
double ArcAngle(TPoint centre, TPoint from, TPoint to);

}  // namespace portico
