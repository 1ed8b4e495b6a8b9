// Reading whole image files and choosing the decoder by content.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace portico {

// Reads a regular file into memory (into `storage`'s when it has room).
// Refuses (EImageError) files larger than the biggest image we would
// accept, devices and FIFOs.
std::vector<uint8_t> ReadImageFileBytes(const std::string& path, std::vector<uint8_t> storage = {});

// Decodes JPEG (starts FF D8 FF) or BMP (starts "BM") by the content.
// Anything else is an EImageError naming `path`. With `keep` the result
// keeps only those areas (TBitmap::KeepOnly), converting no more than the
// format allows.
TBitmap DecodeImage(const std::vector<uint8_t>& data, const std::string& path,
                    const std::vector<TRect>* keep = nullptr);

}  // namespace portico
