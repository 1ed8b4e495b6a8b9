// libFuzzer entry point for the PNG decoder: any input either decodes or
// raises EImageError; nothing else may escape, crash or leak.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/png_decoder.h"
#include "system/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    portico::TAlphaMap alpha;
    portico::TBitmap bitmap = portico::DecodePng(std::span<const uint8_t>(data, size), "fuzz.png", &alpha);
    // Touch the corners so that a wrong size shows up under ASan.
    if (!bitmap.Empty()) {
      volatile uint32_t sink = bitmap.Pixel(0, 0) ^ bitmap.Pixel(bitmap.Width() - 1, bitmap.Height() - 1);
      if (!alpha.Values.empty()) sink = sink ^ alpha.At(alpha.Width - 1, alpha.Height - 1);
      (void)sink;
    }
  } catch (const portico::EImageError&) {
  }
  return 0;
}
