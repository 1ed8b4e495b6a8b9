// Fuzz entry point: portico-skin's check and preview on a hostile skin. The
// input is laid out as for fuzz_skin_load: a description file, a NUL byte,
// then the bytes of the image every state key names.

#include <cstdint>
#include <string>

#include "skin_input.h"
#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "skintool/png_file.h"
#include "skintool/preview_sheet.h"
#include "skintool/skin_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace portico;
  const std::string folder = WriteSkinInput(data, size);

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
