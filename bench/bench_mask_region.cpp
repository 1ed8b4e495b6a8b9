// Building the window's outline from a mask raster, against one memcpy of
// the mask's pixel data. The raster holds one uint32 sample per pixel
// whatever the file's bit depth, so the baseline copies its Samples:
// width * height * 4 bytes. The goal is building the rectangles within
// three times that copy, for a disc, a rounded rectangle with holes and a
// thin ring at 640x480, 1920x1080 and 4096x4096, from 24- and 8-bit
// rasters filled in memory.
//
// It also times shaping an unmapped window on the X server from a 1-bit
// mask pixmap and from the rectangle list; those skip when DISPLAY is unset.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/window_shape.h"
#include "image/bmp_decoder.h"
#include "x11/server_mask_shape.h"

namespace portico {
namespace {

struct MaskSize {
  int32_t Width, Height;
  const char* Name;
};
constexpr MaskSize Sizes[] = {{640, 480, "640x480"}, {1920, 1080, "1920x1080"},
                              {4096, 4096, "4096x4096"}};

enum class Shape { Disc, RoundedRectWithHoles, ThinRing };
constexpr Shape Shapes[] = {Shape::Disc, Shape::RoundedRectWithHoles, Shape::ThinRing};
const char* ShapeName(Shape s) {
  switch (s) {
    case Shape::Disc: return "disc";
    case Shape::RoundedRectWithHoles: return "rounded_rect_holes";
    case Shape::ThinRing: return "thin_ring";
  }
  return "?";
}

constexpr uint32_t Key = 0xFFFFFF;  // white, as the application uses it

// True when (px, py) lies within `r` of (cx, cy).
bool InCircle(int64_t px, int64_t py, int64_t cx, int64_t cy, int64_t r) {
  return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
}

// Whether pixel (x, y) of a w x h mask belongs to the window in `shape`.
bool IsWindow(Shape shape, int64_t x, int64_t y, int64_t w, int64_t h) {
  const int64_t m = std::min(w, h);
  switch (shape) {
    case Shape::Disc:
      return InCircle(x, y, w / 2, h / 2, m / 2 - 1);
    case Shape::ThinRing:
      return InCircle(x, y, w / 2, h / 2, m / 2 - 1) && !InCircle(x, y, w / 2, h / 2, m / 2 - 5);
    case Shape::RoundedRectWithHoles: {
      const int64_t margin = m / 32, radius = m / 8;
      const int64_t left = margin, top = margin, right = w - margin, bottom = h - margin;
      if (x < left || x >= right || y < top || y >= bottom) return false;
      // Corners: outside the quarter circle is background.
      const int64_t cx = x < left + radius ? left + radius : x >= right - radius ? right - radius - 1 : x;
      const int64_t cy = y < top + radius ? top + radius : y >= bottom - radius ? bottom - radius - 1 : y;
      if (!InCircle(x, y, cx, cy, radius)) return false;
      // An 8 x 6 grid of round holes.
      const int64_t hole = m / 40;
      const int64_t col = x * 8 / w, row = y * 6 / h;
      return !InCircle(x, y, (2 * col + 1) * w / 16, (2 * row + 1) * h / 12, hole);
    }
  }
  return false;
}

// A raster of `shape`: 24-bit (white key, black window) or 8-bit (index 0
// is the white key in a full palette, index 1 is black).
BmpRaster MakeRaster(const MaskSize& size, Shape shape, int bits) {
  BmpRaster r;
  r.Width = size.Width;
  r.Height = size.Height;
  r.BitsPerPixel = bits;
  if (bits == 8) {
    r.Palette.resize(256);
    for (uint32_t i = 0; i < 256; ++i) r.Palette[i] = i * 0x010101u ^ 0x00FF00u;
    r.Palette[0] = Key;
    r.Palette[1] = 0x000000;
  }
  const uint32_t key_sample = bits == 8 ? 0u : Key;
  const uint32_t window_sample = bits == 8 ? 1u : 0x000000u;
  r.Samples.resize(static_cast<size_t>(size.Width) * static_cast<size_t>(size.Height));
  for (int32_t y = 0; y < size.Height; ++y)
    for (int32_t x = 0; x < size.Width; ++x)
      r.Samples[static_cast<size_t>(y) * size.Width + x] =
          IsWindow(shape, x, y, size.Width, size.Height) ? window_sample : key_sample;
  return r;
}

// Keeps only the raster last asked for: the 4096x4096 ones are 64 MB each.
const BmpRaster& CachedRaster(const MaskSize& size, Shape shape, int bits) {
  static BmpRaster raster;
  static std::string key;
  const std::string want = std::string(size.Name) + ShapeName(shape) + std::to_string(bits);
  if (key != want) {
    raster = BmpRaster{};
    raster = MakeRaster(size, shape, bits);
    key = want;
  }
  return raster;
}

// The baseline: one copy of the raster's samples.
void MemcpySamples(benchmark::State& state, MaskSize size) {
  const BmpRaster& raster = CachedRaster(size, Shape::Disc, 24);
  const size_t bytes = raster.Samples.size() * sizeof(uint32_t);
  std::vector<uint32_t> copy(raster.Samples.size(), 1);
  for (auto _ : state) {
    std::memcpy(copy.data(), raster.Samples.data(), bytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// Building the rectangle list from the raster.
void BuildRegion(benchmark::State& state, MaskSize size, Shape shape, int bits) {
  const BmpRaster& raster = CachedRaster(size, shape, bits);
  size_t rects = 0;
  for (auto _ : state) {
    MaskRegion region = BuildMaskRegion(raster, static_cast<TColor>(Key));
    rects = region.Rects.size();
    benchmark::DoNotOptimize(region.Rects.data());
  }
  state.counters["rects"] = static_cast<double>(rects);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(raster.Samples.size() * sizeof(uint32_t)));
}

// Packs the region into a 1-bit mask: rows of (width + 7) / 8 bytes,
// least significant bit first, 1 for window pixels.
std::vector<uint8_t> PackBits(const MaskRegion& region, int32_t width, int32_t height) {
  const size_t stride = (static_cast<size_t>(width) + 7) / 8;
  std::vector<uint8_t> bits(stride * static_cast<size_t>(height), 0);
  for (const TRect& r : region.Rects)
    for (int32_t x = r.Left; x < r.Right; ++x)
      bits[static_cast<size_t>(r.Top) * stride + static_cast<size_t>(x) / 8] |=
          static_cast<uint8_t>(1u << (x % 8));
  return bits;
}

// One connection and window for every server case (the largest mask
// size); opening a display per case would be measured too. Tried a few
// times because a busy server may refuse one connection.
ServerMaskShape* SharedServer() {
  static ServerMaskShape server;
  static bool open = [] {
    for (int attempt = 0; attempt < 3; ++attempt)
      if (server.Open(4096, 4096)) return true;
    return false;
  }();
  return open ? &server : nullptr;
}

// Shaping a window on the server from a 1-bit pixmap of the mask.
void ServerMask(benchmark::State& state, MaskSize size, Shape shape) {
  ServerMaskShape* server = SharedServer();
  if (!server) {
    state.SkipWithError("no X display (DISPLAY unset or unreachable)");
    return;
  }
  const MaskRegion region = BuildMaskRegion(CachedRaster(size, shape, 24), static_cast<TColor>(Key));
  const std::vector<uint8_t> bits = PackBits(region, size.Width, size.Height);
  for (auto _ : state) {
    if (!server->ApplyMask(bits, size.Width, size.Height)) {
      state.SkipWithError("the server refused the mask");
      return;
    }
  }
}

// Shaping a window on the server from the rectangle list.
void ServerRects(benchmark::State& state, MaskSize size, Shape shape) {
  ServerMaskShape* server = SharedServer();
  if (!server) {
    state.SkipWithError("no X display (DISPLAY unset or unreachable)");
    return;
  }
  const MaskRegion region = BuildMaskRegion(CachedRaster(size, shape, 24), static_cast<TColor>(Key));
  for (auto _ : state) server->ApplyRects(region.Rects);
  state.counters["rects"] = static_cast<double>(region.Rects.size());
}

// Registers every case, grouped by raster so the cache rebuilds rarely.
void RegisterAll() {
  for (const MaskSize& size : Sizes) {
    benchmark::RegisterBenchmark((std::string("MemcpySamples/") + size.Name).c_str(),
                                 MemcpySamples, size)
        ->Unit(benchmark::kMicrosecond);
    for (Shape shape : Shapes) {
      for (int bits : {8, 24}) {
        const std::string name = std::string("BuildMaskRegion/") + ShapeName(shape) + "/" +
                                 std::to_string(bits) + "bit/" + size.Name;
        benchmark::RegisterBenchmark(name.c_str(), BuildRegion, size, shape, bits)
            ->Unit(benchmark::kMicrosecond);
      }
      const std::string suffix = std::string(ShapeName(shape)) + "/" + size.Name;
      // Real time: most of this work happens in the server's process.
      benchmark::RegisterBenchmark(("ServerMaskPixmap/" + suffix).c_str(), ServerMask, size, shape)
          ->Unit(benchmark::kMicrosecond)
          ->UseRealTime();
      benchmark::RegisterBenchmark(("ServerRects/" + suffix).c_str(), ServerRects, size, shape)
          ->Unit(benchmark::kMicrosecond)
          ->UseRealTime();
    }
  }
}

}  // namespace
}  // namespace portico

int main(int argc, char** argv) {
  portico::RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
