// Reading whole image files and choosing the decoder by content.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "system/files.h"

namespace portico {

// Reads a regular file into memory. Refuses (EImageError) files larger
// than the biggest image we would accept, devices and FIFOs.
std::vector<uint8_t> ReadImageFileBytes(const std::string& path);

// Decodes JPEG (starts FF D8 FF), PNG (its 8-byte signature) or BMP
// (starts "BM") by the content. Anything else is an EImageError naming
// `path`. With `keep` the result keeps only those areas
// (TBitmap::KeepOnly), converting no more than the format allows. With
// `alpha`, an image that carries transparency (some pixel's alpha below
// 255; only PNG files can) gives its opacity there, whole even with
// `keep`; otherwise `alpha` is left as it was.
TBitmap DecodeImage(std::span<const uint8_t> data, const std::string& path,
                    const std::vector<TRect>* keep = nullptr, TAlphaMap* alpha = nullptr);
inline TBitmap DecodeImage(const std::vector<uint8_t>& data, const std::string& path,
                           const std::vector<TRect>* keep = nullptr, TAlphaMap* alpha = nullptr) {
  return DecodeImage(std::span<const uint8_t>(data), path, keep, alpha);
}

// An image file's bytes while they are decoded: the file's own pages where
// they can be held unchanged meanwhile (TMappedFile), read into memory
// otherwise. Throws EImageError as ReadImageFileBytes does.
class TImageFileBytes {
 public:
  explicit TImageFileBytes(const std::string& path);
  std::span<const uint8_t> Data() const {
    return mapped_.Mapped() ? mapped_.Bytes() : std::span<const uint8_t>(read_);
  }

 private:
  TMappedFile mapped_;
  std::vector<uint8_t> read_;
};

}  // namespace portico
