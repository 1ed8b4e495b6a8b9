// Portico: the skinned first screen of an installation.
//
// `portico DESCRIPTION.ini VERSION` shows one borderless window drawn and
// shaped by a skin, and tells the caller the user's choice through the exit
// code (1 for "Exit", 0 otherwise). Start reading at RunPortico in
// app/unit_install.cpp; the skin lives in skin/, pointer handling in
// controls/, drawing in render/, and the window system in platform/.
#include <cstdio>

#include "app/unit_install.h"
#include "platform/params.h"
#include "platform/x11/x11_window_system.h"

int main(int argc, char** argv) {
  portico::SetCommandLine(argc, argv);
  std::unique_ptr<portico::WindowSystem> ws = portico::CreateX11WindowSystem();
  if (!ws) {
    std::fprintf(stderr, "portico: cannot open the X display\n");
    return 0;
  }
  portico::TApplication app(*ws);
  return portico::RunPortico(app);
}
