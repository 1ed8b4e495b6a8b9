// BMP decoding speed: a full-HD skin background at 24 bits and at 8 bits with a palette.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "image/bmp_decoder.h"

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// Builds a bottom-up BMP with a 40-byte header and a gradient picture.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bits) {
  const uint32_t stride = (uint32_t(width) * bits + 31) / 32 * 4;
  const uint32_t paletteBytes = bits == 8 ? 256 * 4 : 0;
  const uint32_t offBits = 14 + 40 + paletteBytes;
  std::vector<uint8_t> out{'B', 'M'};
  Put32(out, offBits + stride * uint32_t(height));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put32(out, 1 | uint32_t(bits) << 16);  // planes, bit count
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (uint32_t i = 0; i < paletteBytes / 4; ++i) Put32(out, i * 0x010101);
  for (int32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < stride; ++x) out.push_back(uint8_t(x * 3 + uint32_t(y)));
  }
  return out;
}

void BM_DecodeBmp24FullHd(benchmark::State& state) {
  const std::vector<uint8_t> file = MakeBmp(1920, 1080, 24);
  for (auto _ : state) benchmark::DoNotOptimize(portico::DecodeBmp(file, "bench24.bmp"));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_DecodeBmp24FullHd)->Unit(benchmark::kMillisecond);

void BM_DecodeBmp8FullHd(benchmark::State& state) {
  const std::vector<uint8_t> file = MakeBmp(1920, 1080, 8);
  for (auto _ : state) benchmark::DoNotOptimize(portico::DecodeBmp(file, "bench8.bmp"));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_DecodeBmp8FullHd)->Unit(benchmark::kMillisecond);

void BM_ReadBmpRaster8FullHd(benchmark::State& state) {
  const std::vector<uint8_t> file = MakeBmp(1920, 1080, 8);
  for (auto _ : state) benchmark::DoNotOptimize(portico::ReadBmpRaster(file, "raster8.bmp"));
}
BENCHMARK(BM_ReadBmpRaster8FullHd)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
