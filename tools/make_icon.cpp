// Writes the Windows programs' icon from the demo skin: the Dial control
// (a ring, lit as under the pointer) cut out round, at several sizes, each
// a PNG image inside one .ico file (read by Windows Vista and later).
//
//   make_icon DEMO_FOLDER OUT.ico
//
// The result is committed (src/app/win32/portico.ico): the Windows build
// does not run this tool.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "image/image_file.h"
#include "skintool/png_file.h"

namespace {
using namespace portico;

// The Dial of tools/make_demo_skin.cpp: centre and outer radius.
constexpr double CentreX = 400.5, CentreY = 130.5, Radius = 57.0;
constexpr int Sizes[] = {16, 24, 32, 48, 64, 128};

// One icon image of size x size: each pixel the average of 8 x 8 samples
// of the disc, premultiplied so the edge takes no dark fringe.
std::vector<uint8_t> IconImage(const TBitmap& skin, int size) {
  constexpr int N = 8;
  TBitmap out(size, size);
  std::vector<uint8_t> alpha(size_t(size) * size);
  const double step = 2 * Radius / size;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0;
      int inside = 0;
      for (int sy = 0; sy < N; ++sy)
        for (int sx = 0; sx < N; ++sx) {
          const double px = CentreX - Radius + (x + (sx + 0.5) / N) * step;
          const double py = CentreY - Radius + (y + (sy + 0.5) / N) * step;
          if (std::hypot(px - CentreX, py - CentreY) > Radius) continue;
          const uint32_t c = skin.Pixel(int32_t(px), int32_t(py));
          r += (c >> 16) & 0xFF, g += (c >> 8) & 0xFF, b += c & 0xFF;
          ++inside;
        }
      if (inside == 0) continue;
      out.SetPixel(x, y, uint32_t(std::lround(r / inside)) << 16 | uint32_t(std::lround(g / inside)) << 8 |
                             uint32_t(std::lround(b / inside)));
      alpha[size_t(y) * size + x] = uint8_t(std::lround(255.0 * inside / (N * N)));
    }
  return EncodePng(out, alpha);
}

void Put16(std::vector<uint8_t>& v, uint32_t x) { v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8)}); }
void Put32(std::vector<uint8_t>& v, uint32_t x) { Put16(v, x & 0xFFFF), Put16(v, x >> 16); }
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_icon DEMO_FOLDER OUT.ico\n";
    return 64;
  }
  std::vector<std::vector<uint8_t>> images;
  try {
    const std::string path = std::string(argv[1]) + "/over.bmp";
    const TBitmap skin = DecodeImage(ReadImageFileBytes(path), path);
    if (skin.Width() < CentreX + Radius || skin.Height() < CentreY + Radius) {
      std::cerr << "make_icon: " << path << " is too small for the demo skin's Dial\n";
      return 1;
    }
    for (int size : Sizes) images.push_back(IconImage(skin, size));
  } catch (const std::exception& e) {
    std::cerr << "make_icon: " << e.what() << "\n";
    return 1;
  }
  // ICONDIR, one ICONDIRENTRY per image, then the images.
  std::vector<uint8_t> ico;
  Put16(ico, 0), Put16(ico, 1), Put16(ico, uint16_t(images.size()));
  uint32_t offset = uint32_t(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    if (images[i].empty()) {
      std::cerr << "make_icon: PNG encoding failed\n";
      return 1;
    }
    const int size = Sizes[i];
    ico.insert(ico.end(), {uint8_t(size % 256), uint8_t(size % 256), 0, 0});
    Put16(ico, 1), Put16(ico, 32), Put32(ico, uint32_t(images[i].size())), Put32(ico, offset);
    offset += uint32_t(images[i].size());
  }
  for (const auto& image : images) ico.insert(ico.end(), image.begin(), image.end());
  std::ofstream(argv[2], std::ios::binary).write(reinterpret_cast<const char*>(ico.data()), std::streamsize(ico.size()));
  return 0;
}
