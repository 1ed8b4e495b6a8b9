#include "image/image_size.h"

#include <algorithm>
#include <cstdlib>

#include "image/image_file.h"
#include "system/errors.h"

namespace portico {

namespace {
uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
uint32_t Be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }

std::optional<TPoint> Positive(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) return std::nullopt;
  return TPoint{int32_t(width), int32_t(height)};
}

std::optional<TPoint> BmpSize(std::span<const uint8_t> d) {
  if (d.size() < 26) return std::nullopt;
  const uint32_t header = Le32(&d[14]);
  if (header == 12) return Positive(Le16(&d[18]), Le16(&d[20]));
  // Rows may run bottom-up or top-down: the height's sign says which.
  const int64_t height = int32_t(Le32(&d[22]));
  return Positive(int32_t(Le32(&d[18])), std::llabs(height));
}

std::optional<TPoint> PngSize(std::span<const uint8_t> d) {
  if (d.size() < 24 || Be32(&d[12]) != 0x49484452) return std::nullopt;  // "IHDR" first
  return Positive(Be32(&d[16]), Be32(&d[20]));
}

std::optional<TPoint> JpegSize(std::span<const uint8_t> d) {
  size_t i = 2;
  while (i + 4 <= d.size()) {
    if (d[i] != 0xFF) return std::nullopt;
    const uint8_t marker = d[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    const size_t length = Be16(&d[i + 2]);
    if (length < 2) return std::nullopt;
    // Start of frame: every SOFn but DHT (C4), JPG (C8) and DAC (CC).
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (i + 9 > d.size()) return std::nullopt;
      return Positive(Be16(&d[i + 7]), Be16(&d[i + 5]));
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // no frame before the scan
    i += 2 + length;
  }
  return std::nullopt;
}
}  // namespace

std::optional<TPoint> ImageSizeOf(std::span<const uint8_t> d) {
  if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M') return BmpSize(d);
  if (d.size() >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return JpegSize(d);
  static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (d.size() >= 8 && std::equal(png, png + 8, d.begin())) return PngSize(d);
  return std::nullopt;
}

std::optional<TPoint> ImageFileSize(const std::string& path) {
  try {
    const TImageFileBytes bytes(path);
    return ImageSizeOf(bytes.Data());
  } catch (const EImageError&) {
    return std::nullopt;
  } catch (const EPlatformError&) {
    return std::nullopt;
  }
}

}  // namespace portico
