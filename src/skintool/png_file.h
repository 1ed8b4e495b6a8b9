// Writing pictures as PNG files (libpng).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/bitmap.h"

namespace portico {

// Encodes the bitmap with one alpha value per pixel as an 8-bit RGBA PNG.
// Empty when libpng fails.
std::vector<uint8_t> EncodePng(const TBitmap& pixels, const std::vector<uint8_t>& alpha);

// Writes the bytes to a file; false (with the reason in `why`) on failure.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& why);

}  // namespace portico
