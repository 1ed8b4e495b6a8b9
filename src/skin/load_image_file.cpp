#include "skin/load_image_file.h"

#include "system/files.h"
#include "image/image_file.h"

namespace portico {

TPrefetchStore<std::unique_ptr<TBitmap>>& PrefetchedImages() {
  static TPrefetchStore<std::unique_ptr<TBitmap>> store;
  return store;
}

std::unique_ptr<TBitmap> LoadImageFile(const std::string& path) {
  if (path.empty() || !FileExists(path)) return nullptr;
  if (std::optional<std::unique_ptr<TBitmap>> ahead = PrefetchedImages().Take(path))
    if (*ahead) return std::move(*ahead);
  return DecodeImageFile(path);
}

std::unique_ptr<TBitmap> DecodeImageFile(const std::string& path, const std::vector<TRect>* keep) {
  if (path.empty() || !FileExists(path)) return nullptr;
  // The decoder follows the file's content, not its extension, so a
  // "normal.JPG" or a bitmap saved as ".jpg" still loads.
  // Messages name the file as resolved here ("img/a.bmp", not ".\\img\\a.bmp").
  const std::string resolved = ResolvePath(path);
  const TImageFileBytes data(resolved);
  auto bitmap = std::make_unique<TBitmap>(DecodeImage(data.Data(), resolved, keep));
  if (bitmap->Width() <= 0 || bitmap->Height() <= 0) return nullptr;
  return bitmap;
}

}  // namespace portico
