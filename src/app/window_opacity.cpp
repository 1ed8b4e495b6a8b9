#include "app/window_opacity.h"

#include <algorithm>
#include <cstdio>

#include "system/files.h"
#include "system/errors.h"
#include "skin/load_image_file.h"

namespace portico {


TAlphaMap AlphaMapFromImage(const TBitmap& image) {
  TAlphaMap alpha{image.Width(), image.Height(), {}};
  alpha.Values.resize(size_t(image.Width()) * size_t(image.Height()));
  size_t i = 0;
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint32_t* row = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x) {
      const uint32_t p = row[x];
      // Weights that sum to 256: a grey pixel keeps its level exactly.
      alpha.Values[i++] = uint8_t((((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 150 + (p & 0xFF) * 29) >> 8);
    }
  }
  return alpha;
}

std::vector<TRect> OpaqueRuns(const TAlphaMap& alpha, uint8_t least) {
  std::vector<TRect> runs;
  least = std::max<uint8_t>(least, 1);
  for (int32_t y = 0; y < alpha.Height; ++y) {
    const uint8_t* row = alpha.Values.data() + size_t(y) * size_t(alpha.Width);
    for (int32_t x = 0; x < alpha.Width;) {
      if (row[x] < least) {
        ++x;
        continue;
      }
      const int32_t start = x;
      while (x < alpha.Width && row[x] >= least) ++x;
      runs.push_back(TRect{start, y, x, y + 1});
    }
  }
  return runs;
}

std::optional<TAlphaMap> ReadAlphaMap(const std::string& path, int32_t width, int32_t height,
                                      std::string& why) {
  std::unique_ptr<TBitmap> image;
  try {
    image = LoadImageFile(path);
  } catch (const EPlatformError& e) {
    why = e.what();
    return std::nullopt;
  }
  if (!image) {
    why = ResolvePath(path) + ": no such image";
    return std::nullopt;
  }
  if (image->Width() != width || image->Height() != height) {
    why = ResolvePath(path) + ": " + std::to_string(image->Width()) + "x" + std::to_string(image->Height()) +
          " pixels, the window has " + std::to_string(width) + "x" + std::to_string(height);
    return std::nullopt;
  }
  return AlphaMapFromImage(*image);
}

std::optional<TAlphaMap> LoadAlphaMap(const std::string& path, int32_t width, int32_t height) {
  std::string why;
  std::optional<TAlphaMap> alpha = ReadAlphaMap(path, width, height, why);
  if (!alpha) {
    std::fprintf(stderr, "portico: %s; the mask shapes the window\n", why.c_str());
    std::fflush(stderr);
  }
  return alpha;
}

}  // namespace portico
