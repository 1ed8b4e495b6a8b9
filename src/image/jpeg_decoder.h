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

// How a JPEG file stores its colours, read from its header: CMYK (or YCCK,
// which libjpeg turns into CMYK) is made RGB by a plain formula that
// applies no colour profile the file carries.
struct TJpegColour {
  bool Cmyk = false;
  bool Ycck = false;
  bool HasIccProfile = false;  // an APP2 "ICC_PROFILE" segment
};
// None of them for a file whose header cannot be read.
TJpegColour ReadJpegColour(std::span<const uint8_t> data);

}  // namespace portico
