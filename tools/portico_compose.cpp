// Writes the first frame the launcher composes for a skin, as a PPM image,
// without a display: portico_compose DESCRIPTION.ini VERSION OUT.ppm
// (run in the skin's folder, like the launcher). Tests compare it with
// what the real window shows.
#include <cstdio>
#include <fstream>

#include "app/unit_install.h"
#include "window/headless/headless_window_system.h"
#include "classlib/params.h"

int main(int argc, char** argv) {
  using namespace portico;
  if (argc != 4) {
    std::fprintf(stderr, "usage: portico_compose DESCRIPTION.ini VERSION OUT.ppm\n");
    return 2;
  }
  SetCommandLine({"portico", argv[1], argv[2]});
  HeadlessWindowSystem ws;
  TApplication app(ws);
  app.Initialize();
  try {
    app.CreateForm(FormInstall);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "portico_compose: %s\n", e.what());
    return 1;
  }
  if (!app.ShowMainForm) {
    std::fprintf(stderr, "portico_compose: the skin does not start\n");
    return 1;
  }
  const TBitmap& frame = FormInstall->ImageMain.Picture()->Bitmap();
  std::ofstream out(argv[3], std::ios::binary);
  out << "P6\n" << frame.Width() << " " << frame.Height() << "\n255\n";
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x) {
      uint32_t p = frame.Pixel(x, y);
      const char rgb[3] = {char(p >> 16), char(p >> 8), char(p)};
      out.write(rgb, 3);
    }
  app.DestroyForms();
  return out ? 0 : 1;
}
