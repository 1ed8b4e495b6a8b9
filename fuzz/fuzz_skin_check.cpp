// Fuzz entry point: portico-skin's check and preview on a hostile skin. The
// input is laid out as for fuzz_skin_load: a description file, a NUL byte,
// then the bytes of the image every state key names.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/application.h"
#include "platform/headless/headless_window_system.h"
#include "skintool/png_file.h"
#include "skintool/preview_sheet.h"
#include "skintool/skin_check.h"

namespace {
std::string ScratchFolder() {
  static std::string folder = [] {
    std::string templ =
        (std::filesystem::temp_directory_path() / "portico-fuzz-check-XXXXXX").string();
    return std::string(mkdtemp(templ.data()) ? templ : "/tmp") + "/";
  }();
  return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace portico;
  const char* text = reinterpret_cast<const char*>(data);
  const void* nul = size ? std::memchr(data, 0, size) : nullptr;
  const size_t ini_size = nul ? size_t(static_cast<const uint8_t*>(nul) - data) : size;
  const std::string folder = ScratchFolder();
  std::ofstream(folder + "skin.ini", std::ios::binary | std::ios::trunc)
      .write(text, std::streamsize(ini_size));
  const size_t image_start = nul ? ini_size + 1 : size;
  std::ofstream(folder + "image.img", std::ios::binary | std::ios::trunc)
      .write(text + image_start, std::streamsize(size - image_start));

  HeadlessWindowSystem ws(800, 600);
  TApplication app(ws);
  app.Initialize();
  std::vector<std::string> files;
  const std::vector<TFinding> findings = CheckSkin(folder + "skin.ini", &files);
  FormatFindingsJson("skin.ini", findings);
  std::string why;
  if (std::optional<TPreviewSheet> sheet = BuildPreviewSheet(folder + "skin.ini", "1.0 &Test", why))
    EncodePng(sheet->Image, sheet->Alpha);
  return 0;
}
