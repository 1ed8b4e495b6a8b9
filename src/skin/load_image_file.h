// Turning one skin image file into a bitmap.
#pragma once
#include <memory>
#include <string>

#include "platform/bitmap.h"

namespace portico {

// None for an empty path, a missing file, a folder or an image without
// pixels; EImageError for a file that exists but cannot be decoded.
std::unique_ptr<TBitmap> LoadImageFile(const std::string& path);

}  // namespace portico
