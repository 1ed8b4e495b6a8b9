// libFuzzer entry point for the BMP decoder: any input either decodes or
// raises EImageError; anything else (a crash, a sanitizer report, another
// exception) is a bug.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/bmp_decoder.h"
#include "system/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    portico::DecodeBmp(bytes, "fuzz.bmp");
  } catch (const portico::EImageError&) {
  }
  try {
    const portico::BmpRaster raster = portico::ReadBmpRaster(bytes, "fuzz.bmp");
    // Convert a few samples so that the per-sample path is exercised too.
    for (size_t i = 0; i < raster.Samples.size() && i < 64; ++i)
      portico::BmpSampleToRgb(raster, raster.Samples[i]);
  } catch (const portico::EImageError&) {
  }
  return 0;
}
