#include "image/image_file.h"

#include <algorithm>

#include "system/files.h"
#include "image/bmp_decoder.h"
#include "image/image_format.h"
#include "image/jpeg_decoder.h"
#include "image/png_decoder.h"
#include "system/errors.h"

namespace portico {
namespace {

// Larger than any image we would decode: the biggest bitmap at 32 bits per
// pixel plus room for headers and palettes.
constexpr size_t kMaxImageFileBytes = size_t(TBitmap::MaxPixels) * 4 + 64 * 1024 * 1024;
// Larger files are read: while one is mapped, whoever wants to write it
// waits until decoding ends, and that must stay short.
constexpr size_t kMaxMappedBytes = 64 * 1024 * 1024;

}  // namespace

std::vector<uint8_t> ReadImageFileBytes(const std::string& path) {
  TFileBytes file = ReadRegularFile(path, kMaxImageFileBytes, TOverLimit::Refuse);
  switch (file.Status) {
    case TReadStatus::Ok:
      return std::move(file.Bytes);
    case TReadStatus::Missing:
      throw EImageError(path, "cannot open: " + file.Error);
    case TReadStatus::NotRegular:
      throw EImageError(path, "not a regular file");
    case TReadStatus::TooLarge:
      throw EImageError(path, "file too large for an image: " + file.Error);
    case TReadStatus::ReadError:
      break;
  }
  throw EImageError(path, "cannot read: " + file.Error);
}

TImageFileBytes::TImageFileBytes(const std::string& path) : mapped_(TMappedFile::Map(path, kMaxMappedBytes)) {
  if (!mapped_.Mapped()) read_ = ReadImageFileBytes(path);
}

TBitmap DecodeImage(std::span<const uint8_t> data, const std::string& path,
                    const std::vector<TRect>* keep, TAlphaMap* alpha) {
  // The content decides, not the name: skins ship BMPs named .jpg and the reverse.
  const TImageFormat format = ImageFormatBySignature(data);
  if (format == TImageFormat::Jpeg) {
    TBitmap bitmap = DecodeJpeg(data, path);
    if (keep) bitmap.KeepOnly(*keep);
    return bitmap;
  }
  if (format == TImageFormat::Png) {
    TBitmap bitmap = DecodePng(data, path, alpha);
    if (keep) bitmap.KeepOnly(*keep);
    return bitmap;
  }
  if (format == TImageFormat::Bmp) return DecodeBmp(data, path, keep);
  std::string why = "not a BMP, JPEG or PNG image";
  if (format != TImageFormat::Unknown)
    why += std::string(" but a ") + ImageFormatName(format) + " image by its content";
  throw EImageError(path, why);
}

}  // namespace portico
