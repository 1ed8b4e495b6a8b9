// Decoding speed of the demo skin's images, as BMP files and as PNG files
// (build/demo-png, made by tools/make_demo_skin --png): what the start-up
// threads spend before the first frame can be built.
#include <benchmark/benchmark.h>

#include <string>

#include "skin/load_image_file.h"

namespace {

void DecodeFile(benchmark::State& state, const std::string& path) {
  for (auto _ : state) benchmark::DoNotOptimize(portico::DecodeImageFile(path));
}

}  // namespace

BENCHMARK_CAPTURE(DecodeFile, normal_bmp, PORTICO_SOURCE_DIR "/demo/normal.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFile, over_bmp, PORTICO_SOURCE_DIR "/demo/over.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFile, normal_png, PORTICO_BINARY_DIR "/demo-png/normal.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFile, over_png, PORTICO_BINARY_DIR "/demo-png/over.png")->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
