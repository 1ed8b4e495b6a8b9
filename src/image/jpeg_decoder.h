// JPEG decoding through libjpeg(-turbo), errors turned into EImageError.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "graphics/bitmap.h"

namespace portico {

// Decodes a JPEG file with the slow, accurate inverse DCT. Throws
// EImageError (naming `name`) on any error and on warnings that mean
// damaged data (cut off, undecodable); other warnings are ignored.
TBitmap DecodeJpeg(std::span<const uint8_t> data, const std::string& name);

}  // namespace portico
