// How findings state amounts: exact counts with a share that never rounds
// a few pixels to 0 % or nearly all to 100 %, points, colours, angles.
#pragma once
#include <cstdint>
#include <string>

#include "graphics/types.h"

namespace portico {

// "796 pixels (0.45 %)" of `whole`; "(< 0.01 %)" and "(> 99.99 %)" at the ends.
std::string PixelShare(uint64_t part, uint64_t whole);
// "(12, 40)".
std::string PointText(int32_t x, int32_t y);
// "#FEFEFE" for a pixel word 0x00RRGGBB.
std::string ColourText(uint32_t rgb);
// "37.5", "90": degrees to one decimal at most.
std::string DegreesText(double degrees);

}  // namespace portico
