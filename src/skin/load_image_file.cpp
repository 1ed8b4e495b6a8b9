#include "skin/load_image_file.h"

#include "image/image_file.h"

#include <algorithm>
#include <stdexcept>

#include "graphics/bitmap_scale.h"
#include "system/errors.h"

namespace portico {

namespace {

// Whether an image decoded ahead shows what the loader would decode now.
// Its file's identity was taken before the file was read, so a save at any
// point since shows as a different one here.
bool StillHolds(const TPreparedImage& ahead, const std::string& path, const std::vector<TRect>* kept) {
  const bool same_areas = kept ? ahead.Kept == *kept : !ahead.Kept;
  return ahead.Image && same_areas && ahead.File == QueryFileIdentity(ResolvePath(path));
}

}  // namespace

std::optional<TPreparedImage> PrepareImageFile(const std::string& path, const std::vector<TRect>* keep) {
  TPreparedImage prepared;
  // Asked before decoding: a save from here on changes what the loader finds.
  prepared.File = QueryFileIdentity(ResolvePath(path));
  try {
    prepared.Image = DecodeImageFile(path, keep, keep ? nullptr : &prepared.Alpha);
  } catch (...) {
    return std::nullopt;
  }
  if (!prepared.Image) return std::nullopt;
  if (keep) prepared.Kept = *keep;
  return prepared;
}

namespace {

// Enlarges `image` k times by pixel repetition, only in its kept areas
// when it has some, its opacity too.
void EnlargeImage(TPreparedImage& image, int k, const std::string& path) {
  if (k <= 1 || !image.Image) return;
  try {
    const std::vector<TRect> kept = image.Kept ? ScaleRects(*image.Kept, k) : std::vector<TRect>();
    image.Image = std::make_unique<TBitmap>(EnlargeBitmap(*image.Image, k, kept.empty() ? nullptr : &kept));
    if (image.Alpha) image.Alpha = EnlargeAlphaMap(*image.Alpha, k);
  } catch (const std::length_error&) {
    throw EImageError(path, "too large at this screen scale");
  }
}

}  // namespace

std::unique_ptr<TBitmap> LoadImageFile(const std::string& path, TPreparedImages* prepared,
                                       const std::vector<TRect>* kept, std::optional<TAlphaMap>* alpha,
                                       int scale) {
  if (alpha) alpha->reset();
  if (path.empty() || !FileExists(path)) return nullptr;
  scale = std::max(scale, 1);
  std::optional<TPreparedImage> image;
  if (prepared)
    if (std::optional<TPreparedImage> ahead = prepared->Take(path))
      if (StillHolds(*ahead, path, kept)) image = std::move(ahead);
  if (!image) {
    image.emplace();
    image->Image = DecodeImageFile(path, nullptr, alpha ? &image->Alpha : nullptr);
    if (!image->Image) return nullptr;
    // Decoded whole, but only the areas asked for need enlarging.
    if (kept && !kept->empty()) image->Kept = *kept;
  }
  EnlargeImage(*image, scale, ResolvePath(path));
  if (alpha) *alpha = std::move(image->Alpha);
  return std::move(image->Image);
}

std::unique_ptr<TBitmap> DecodeImageFile(const std::string& path, const std::vector<TRect>* keep,
                                         std::optional<TAlphaMap>* alpha) {
  if (alpha) alpha->reset();
  if (path.empty() || !FileExists(path)) return nullptr;
  // The decoder follows the file's content, not its extension, so a
  // "normal.JPG" or a bitmap saved as ".jpg" still loads.
  // Messages name the file as resolved here ("img/a.bmp", not ".\\img\\a.bmp").
  const std::string resolved = ResolvePath(path);
  const TImageFileBytes data(resolved);
  TAlphaMap opacity;
  auto bitmap = std::make_unique<TBitmap>(DecodeImage(data.Data(), resolved, keep, alpha ? &opacity : nullptr));
  if (bitmap->Width() <= 0 || bitmap->Height() <= 0) return nullptr;
  if (alpha && !opacity.Values.empty()) *alpha = std::move(opacity);
  return bitmap;
}

}  // namespace portico
