// Legibility of text on a background, measured the way WCAG does.
#pragma once
#include <cstdint>

namespace portico {

// Relative luminance of a 0x00RRGGBB pixel, from 0 (black) to 1 (white).
double RelativeLuminance(uint32_t rgb);

// The contrast ratio of two luminances, from 1 (none) to 21.
double ContrastRatio(double a, double b);

// Below this, text is hard to read even at large sizes.
constexpr double MinimumContrast = 3.0;

}  // namespace portico
