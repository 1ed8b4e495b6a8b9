// Turning one skin image file into a bitmap, or taking the one decoded
// ahead of the loader when it still shows that file.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "skin/prefetch_store.h"
#include "system/files.h"

namespace portico {

// An image decoded ahead of the loader, with what it holds for: the file
// as it was before decoding and, for an image kept in part, the areas kept.
// An image kept whole keeps its opacity too, when it carries transparency.
struct TPreparedImage {
  std::unique_ptr<TBitmap> Image;
  std::optional<TFileIdentity> File;
  std::optional<std::vector<TRect>> Kept;  // none: kept whole
  std::optional<TAlphaMap> Alpha;          // only for an image kept whole
};
// Images decoded ahead, by the path the loader will ask for.
using TPreparedImages = TPrefetchStore<TPreparedImage>;

// Decodes ahead what LoadImageFile(path, ..., keep) will ask for; none
// when that fails, and the loader then meets the error at its own point.
std::optional<TPreparedImage> PrepareImageFile(const std::string& path, const std::vector<TRect>* keep);

// None for an empty path, a missing file, a folder or an image without
// pixels; EImageError for a file that exists but cannot be decoded. With
// `prepared`, the image decoded ahead for this path is taken instead when
// it still holds: the same file, and kept whole, or kept in exactly the
// areas `kept` names when that is given. Otherwise the whole file is
// decoded here. With `alpha` (only for an image asked for whole), the
// image's opacity when it carries transparency, none otherwise. At `scale`
// k above 1 the image (and its opacity) comes enlarged k times, made only
// in the areas `kept` names when it names some.
std::unique_ptr<TBitmap> LoadImageFile(const std::string& path, TPreparedImages* prepared = nullptr,
                                       const std::vector<TRect>* kept = nullptr,
                                       std::optional<TAlphaMap>* alpha = nullptr, int scale = 1);

// Decodes the file itself. With `keep` the image keeps only those areas
// (see DecodeImage); with `alpha`, its opacity as LoadImageFile gives it.
std::unique_ptr<TBitmap> DecodeImageFile(const std::string& path, const std::vector<TRect>* keep = nullptr,
                                         std::optional<TAlphaMap>* alpha = nullptr);

}  // namespace portico
