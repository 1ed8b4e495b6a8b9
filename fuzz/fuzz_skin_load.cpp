// Fuzz entry point: a whole skin load. The input is a description file, a
// NUL byte, then the bytes of the image every state key names; the skin is
// then composed and given a few pointer steps.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/application.h"
#include "platform/headless/headless_window_system.h"
#include "platform/image_error.h"
#include "app/window_shape.h"
#include "skin/skin.h"

namespace {
std::string ScratchFolder() {
  static std::string folder = [] {
    std::string templ = (std::filesystem::temp_directory_path() / "portico-fuzz-XXXXXX").string();
    return std::string(mkdtemp(templ.data()) ? templ : "/tmp") + "/";
  }();
  return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace portico;
  const char* text = reinterpret_cast<const char*>(data);
  const void* nul = size ? std::memchr(data, 0, size) : nullptr;
  size_t ini_size = nul ? size_t(static_cast<const uint8_t*>(nul) - data) : size;
  const std::string folder = ScratchFolder();
  std::ofstream(folder + "skin.ini", std::ios::binary | std::ios::trunc).write(text, std::streamsize(ini_size));
  size_t image_start = nul ? ini_size + 1 : size;
  std::ofstream(folder + "image.img", std::ios::binary | std::ios::trunc)
      .write(text + image_start, std::streamsize(size - image_start));

  HeadlessWindowSystem ws(800, 600);
  ws.SetFocusOnShow(true);  // so that the pointer steps below light controls
  TApplication app(ws);
  app.Initialize();
  TForm form(&app);
  form.AutoSize = true;
  TImage image;
  form.AddControl(&image);
  try {
    TSkin skin(folder, "skin.ini", 0, 0, &form, &image, [](TSkin*, TSkinButton*) {});
    skin.SetButtonCaption("VersionCaption", u"1.0 &Test", 0, 10, -1, true);
    skin.DrawAllButtons();
    form.Show();
    for (int i = 0; i < 8; ++i) {
      ws.MovePointer(form.Left + i * 13, form.Top + i * 7);
      if (i == 3) ws.PressButton();
      if (i == 5) ws.ReleaseButton();
    }
    ApplyWindowShape(skin, 0xFFFFFF);
  } catch (const EImageError&) {
  }
  return 0;
}
