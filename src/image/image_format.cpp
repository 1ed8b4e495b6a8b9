#include "image/image_format.h"

#include <algorithm>
#include <string_view>

namespace portico {

namespace {
bool StartsWith(std::span<const uint8_t> data, std::string_view bytes, size_t at = 0) {
  return data.size() >= at + bytes.size() &&
         std::equal(bytes.begin(), bytes.end(), data.begin() + at,
                    [](char a, uint8_t b) { return uint8_t(a) == b; });
}
}  // namespace

TImageFormat ImageFormatBySignature(std::span<const uint8_t> data) {
  using namespace std::string_view_literals;
  if (StartsWith(data, "\xFF\xD8\xFF"sv)) return TImageFormat::Jpeg;
  if (StartsWith(data, "\x89PNG\r\n\x1A\n"sv)) return TImageFormat::Png;
  if (StartsWith(data, "BM"sv)) return TImageFormat::Bmp;
  if (StartsWith(data, "GIF87a"sv) || StartsWith(data, "GIF89a"sv)) return TImageFormat::Gif;
  if (StartsWith(data, "II*\0"sv) || StartsWith(data, "MM\0*"sv)) return TImageFormat::Tiff;
  if (StartsWith(data, "RIFF"sv) && StartsWith(data, "WEBP"sv, 8)) return TImageFormat::WebP;
  // Icons and cursors: reserved 0, type 1 or 2, at least one image.
  if (StartsWith(data, "\0\0\1\0"sv) || StartsWith(data, "\0\0\2\0"sv))
    if (data.size() >= 6 && (data[4] | data[5]) != 0) return TImageFormat::Ico;
  return TImageFormat::Unknown;
}

const char* ImageFormatName(TImageFormat format) {
  switch (format) {
    case TImageFormat::Bmp: return "BMP";
    case TImageFormat::Jpeg: return "JPEG";
    case TImageFormat::Png: return "PNG";
    case TImageFormat::Gif: return "GIF";
    case TImageFormat::Tiff: return "TIFF";
    case TImageFormat::WebP: return "WebP";
    case TImageFormat::Ico: return "ICO";
    case TImageFormat::Unknown: break;
  }
  return "";
}

}  // namespace portico
