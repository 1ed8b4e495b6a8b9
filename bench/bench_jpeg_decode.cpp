// JPEG decoding speed of a full-HD skin background, next to libjpeg-turbo's
// own command-line decoder (djpeg -dct int) on the same file as a yardstick.
// djpeg runs as a child process, so its figure includes process start-up;
// BM_djpeg_startup (a 16x16 file) shows how much of it that is.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "image/jpeg_decoder.h"

extern char** environ;

namespace {

// Compresses a synthetic picture (smooth gradients plus fine texture, so
// the coder has real work) at quality 90, baseline 4:2:0, into memory.
std::vector<uint8_t> MakeJpeg(int width, int height) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  jpeg_mem_dest(&cinfo, &out, &out_size);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(size_t(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = int(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      double texture = 24 * std::sin(x * 0.37) * std::cos(y * 0.23) + ((x * 7 + y * 13) % 17);
      row[size_t(x) * 3 + 0] = (unsigned char)std::lround(std::fmin(255, 100 + 100.0 * x / width + texture));
      row[size_t(x) * 3 + 1] = (unsigned char)std::lround(std::fmin(255, 60 + 120.0 * y / height + texture));
      row[size_t(x) * 3 + 2] = (unsigned char)std::lround(std::fmin(255, 200 - 150.0 * (x + y) / (width + height) + texture));
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> bytes(out, out + out_size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

// A test image in memory and in a temporary file (removed at exit).
struct TBenchImage {
  std::vector<uint8_t> bytes;
  std::string path;

  TBenchImage(int width, int height) : bytes(MakeJpeg(width, height)) {
    char pattern[] = "/tmp/portico-bench-XXXXXX.jpg";
    int fd = mkstemps(pattern, 4);
    if (fd < 0) return;
    close(fd);
    path = pattern;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
  }
  ~TBenchImage() {
    if (!path.empty()) std::remove(path.c_str());
  }
};

const TBenchImage& FullHd() {
  static TBenchImage image(1920, 1080);
  return image;
}

const TBenchImage& Tiny() {
  static TBenchImage image(16, 16);
  return image;
}

// Runs `djpeg -dct int -bmp -outfile /dev/null FILE` and adds its CPU
// seconds to cpu_seconds; false if it failed.
bool RunDjpeg(const std::string& file, double& cpu_seconds) {
  const char* argv[] = {"djpeg", "-dct", "int", "-bmp", "-outfile", "/dev/null", file.c_str(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
    return false;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  cpu_seconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void TimeDjpeg(benchmark::State& state, const TBenchImage& image) {
  if (image.path.empty()) {
    state.SkipWithError("no temporary file");
    return;
  }
  double cpu_seconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (!RunDjpeg(image.path, cpu_seconds)) {
      state.SkipWithError("djpeg (libjpeg-turbo-progs) did not run");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  // The child's own CPU time, comparable with the CPU column of our decoder.
  state.counters["djpeg_cpu_ms"] = 1000 * cpu_seconds / double(state.iterations());
}

void BM_DecodeJpeg_1920x1080(benchmark::State& state) {
  const TBenchImage& image = FullHd();
  for (auto _ : state) {
    portico::TBitmap bitmap = portico::DecodeJpeg(image.bytes, "bench.jpg");
    benchmark::DoNotOptimize(bitmap.Data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.bytes.size()));
  state.counters["jpeg_bytes"] = double(image.bytes.size());
}
BENCHMARK(BM_DecodeJpeg_1920x1080)->Unit(benchmark::kMillisecond);

void BM_djpeg_yardstick(benchmark::State& state) { TimeDjpeg(state, FullHd()); }
BENCHMARK(BM_djpeg_yardstick)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_djpeg_startup(benchmark::State& state) { TimeDjpeg(state, Tiny()); }
BENCHMARK(BM_djpeg_startup)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
