// libFuzzer entry point for the JPEG decoder: any input either decodes or
// raises EImageError; nothing else may escape, crash or leak.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/jpeg_decoder.h"
#include "system/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    portico::TBitmap bitmap = portico::DecodeJpeg(std::span<const uint8_t>(data, size), "fuzz.jpg");
    // Touch the corners so that a wrong size shows up under ASan.
    if (!bitmap.Empty()) {
      volatile uint32_t sink = bitmap.Pixel(0, 0) ^
                               bitmap.Pixel(bitmap.Width() - 1, bitmap.Height() - 1);
      (void)sink;
    }
  } catch (const portico::EImageError&) {
  }
  return 0;
}
