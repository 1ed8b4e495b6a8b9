#include "skintool/contrast.h"

#include <algorithm>
#include <cmath>

namespace portico {

namespace {
// One sRGB channel, linearised.
double Linear(uint32_t channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
}  // namespace

double RelativeLuminance(uint32_t rgb) {
  return 0.2126 * Linear((rgb >> 16) & 0xFF) + 0.7152 * Linear((rgb >> 8) & 0xFF) +
         0.0722 * Linear(rgb & 0xFF);
}

double ContrastRatio(double a, double b) {
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}  // namespace portico
