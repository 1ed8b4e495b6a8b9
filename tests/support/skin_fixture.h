// Helpers for tests that need skin files on disk: a scratch folder, BMP
// writing and a headless application.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bmp_builder.h"
#include "posix_compat.h"
#include "classlib/application.h"
#include "graphics/bitmap.h"
#include "window/headless/headless_window_system.h"

namespace portico::test {

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string templ = (std::filesystem::temp_directory_path() / "portico-test-XXXXXX").string();
    path_ = mkdtemp(templ.data()) ? templ : std::string();
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }

 private:
  std::string path_;
};

// A 24-bit bottom-up BMP file of the bitmap.
inline std::string EncodeBmp24(const TBitmap& b) {
  const size_t stride = (size_t(b.Width()) * 3 + 3) & ~size_t{3};
  BmpSpec spec;
  spec.Width = b.Width();
  spec.Height = b.Height();
  spec.Pixels.assign(stride * size_t(b.Height()), 0);
  for (int y = 0; y < b.Height(); ++y) {
    uint8_t* row = spec.Pixels.data() + size_t(b.Height() - 1 - y) * stride;
    for (int x = 0; x < b.Width(); ++x) {
      uint32_t p = b.Pixel(x, y);
      row[3 * x] = uint8_t(p);
      row[3 * x + 1] = uint8_t(p >> 8);
      row[3 * x + 2] = uint8_t(p >> 16);
    }
  }
  std::vector<uint8_t> bytes = BuildBmp(spec);
  return std::string(bytes.begin(), bytes.end());
}

// A bitmap filled with one colour (0x00RRGGBB).
inline TBitmap SolidBitmap(int w, int h, uint32_t rgb) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, rgb);
  return b;
}

// A headless window system with an application object installed as the
// global Application for the test's lifetime.
struct HeadlessApp {
  HeadlessWindowSystem ws;
  TApplication app{ws};
  HeadlessApp() { app.Initialize(); }
};

// Runs the application's due timers after advancing the clock.
inline void AdvanceAndFire(HeadlessApp& h, int64_t ms) {
  h.ws.Advance(ms);
  h.app.FireDueTimers();
}

}  // namespace portico::test
