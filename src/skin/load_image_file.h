// Turning one skin image file into a bitmap.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "skin/prefetch_store.h"

namespace portico {

// None for an empty path, a missing file, a folder or an image without
// pixels; EImageError for a file that exists but cannot be decoded. An
// image decoded ahead for this path (PrefetchedImages) is taken instead.
std::unique_ptr<TBitmap> LoadImageFile(const std::string& path);

// LoadImageFile without looking for an image decoded ahead. With `keep`
// the image keeps only those areas (see DecodeImage).
std::unique_ptr<TBitmap> DecodeImageFile(const std::string& path, const std::vector<TRect>* keep = nullptr);

// Images decoded ahead of the loader, by the path it will ask for; an
// image the ahead-decoding could not make is left to the loader, which
// then meets the same error at the same point.
TPrefetchStore<std::unique_ptr<TBitmap>>& PrefetchedImages();

}  // namespace portico
