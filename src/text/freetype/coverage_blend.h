// Blending of antialiased text coverage over existing pixels.
#pragma once
#include <cstdint>

namespace portico {

// Blends colour `src` with coverage `a` over `dst`, rounding each channel
// to the nearest value; red and blue go through one multiply as a pair.
inline uint32_t BlendCoverage(uint32_t dst, uint32_t src, uint32_t a) {
  if (a == 255) return src;
  const uint32_t na = 255 - a;
  uint32_t rb = (src & 0xFF00FF) * a + (dst & 0xFF00FF) * na + 0x800080;
  rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
  uint32_t g = ((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * na + 0x80;
  g = ((g + (g >> 8)) >> 8) & 0xFF;
  return rb | (g << 8);
}

}  // namespace portico
