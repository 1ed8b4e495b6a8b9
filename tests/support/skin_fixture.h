// Helpers for tests that need skin files on disk: a scratch folder, BMP
// writing and a headless application.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/headless/headless_window_system.h"

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
  const uint32_t stride = (uint32_t(b.Width()) * 3 + 3) & ~3u;
  const uint32_t image = stride * uint32_t(b.Height());
  std::string out;
  auto u16 = [&](uint32_t v) { out.push_back(char(v & 0xFF)); out.push_back(char((v >> 8) & 0xFF)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  out += "BM";
  u32(54 + image); u32(0); u32(54);
  u32(40); u32(uint32_t(b.Width())); u32(uint32_t(b.Height())); u16(1); u16(24); u32(0);
  u32(image); u32(2835); u32(2835); u32(0); u32(0);
  for (int y = b.Height() - 1; y >= 0; --y) {
    size_t row_start = out.size();
    for (int x = 0; x < b.Width(); ++x) {
      uint32_t p = b.Pixel(x, y);
      out.push_back(char(p & 0xFF));
      out.push_back(char((p >> 8) & 0xFF));
      out.push_back(char((p >> 16) & 0xFF));
    }
    while (out.size() - row_start < stride) out.push_back(0);
  }
  return out;
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
