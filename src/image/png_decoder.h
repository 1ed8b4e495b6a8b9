// PNG decoding through libpng, errors turned into EImageError.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "graphics/bitmap.h"

namespace portico {

// Decodes a PNG file of any colour type and bit depth: 16-bit samples are
// scaled to 8 bits, palettes and grey become RGB, interlaced files are
// assembled. Gamma and colour profiles are not applied: the samples are
// shown as stored, as a BMP's are. With `alpha`, an image that carries
// transparency (an alpha channel or tRNS with some pixel below 255) gives
// its opacity there; any other leaves it untouched. Throws EImageError
// (naming `name`) for a damaged, cut-off or oversized file; the size is
// checked before anything is allocated for the pixels.
TBitmap DecodePng(std::span<const uint8_t> data, const std::string& name, TAlphaMap* alpha = nullptr);

}  // namespace portico
