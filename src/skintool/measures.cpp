#include "skintool/measures.h"

#include <cmath>
#include <cstdio>

namespace portico {

std::string PixelShare(uint64_t part, uint64_t whole) {
  std::string text = std::to_string(part) + (part == 1 ? " pixel (" : " pixels (");
  if (whole == 0) return text + "of none)";
  // Hundredths of a percent, rounded half up, in integers: exact for any count.
  const uint64_t basis = (part * 20000 / whole + 1) / 2;
  if (part > 0 && basis == 0) return text + "< 0.01 %)";
  if (part < whole && basis >= 10000) return text + "> 99.99 %)";
  char share[32];
  std::snprintf(share, sizeof share, "%llu.%02llu %%)",
                static_cast<unsigned long long>(basis / 100),
                static_cast<unsigned long long>(basis % 100));
  return text + share;
}

std::string PointText(int32_t x, int32_t y) {
  // Appended piece by piece: "(" + std::to_string(x) trips a false
  // -Wrestrict warning in the mingw-w64 build's GCC 12.
  std::string text = "(";
  text += std::to_string(x);
  text += ", ";
  text += std::to_string(y);
  text += ')';
  return text;
}

std::string ColourText(uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", unsigned(rgb & 0xFFFFFF));
  return text;
}

std::string DegreesText(double degrees) {
  const double tenths = std::round(degrees * 10);
  char text[32];
  if (std::fmod(tenths, 10) == 0)
    std::snprintf(text, sizeof text, "%.0f", tenths / 10);
  else
    std::snprintf(text, sizeof text, "%.1f", tenths / 10);
  return text;
}

}  // namespace portico
