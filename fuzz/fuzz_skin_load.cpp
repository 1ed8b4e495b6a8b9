// Fuzz entry point: a whole skin load. The input is a description file, a
// NUL byte, then the bytes of the image every state key names; the skin is
// then composed and given a few pointer steps.

#include <cstdint>
#include <string>

#include "skin_input.h"
#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "system/errors.h"
#include "app/window_shape.h"
#include "skin/skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace portico;
  const std::string folder = WriteSkinInput(data, size);

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
