// Reading whole image files and choosing the decoder by content.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace portico {

// Reads a regular file into memory. Refuses (EImageError) files larger
// than the biggest image we would accept, devices and FIFOs.
std::vector<uint8_t> ReadImageFileBytes(const std::string& path);

// Decodes JPEG (starts FF D8 FF) or BMP (starts "BM") by the content.
// Anything else is an EImageError naming `path`.
TBitmap DecodeImage(const std::vector<uint8_t>& data, const std::string& path);

}  // namespace portico
