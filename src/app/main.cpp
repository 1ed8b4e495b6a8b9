// Portico: the skinned first screen of an installation.
//
// `portico DESCRIPTION.ini VERSION` shows one borderless window drawn and
// shaped by a skin, and tells the caller the user's choice through the exit
// code (1 for "Exit", 0 otherwise). Start reading at RunPortico in
// app/unit_install.cpp; the skin lives in skin/, pointer handling in
// controls/, drawing in render/, the class-library stand-ins in classlib/,
// and below them graphics/, image/, text/, system/ and window/.
#include "app/message_text_painter.h"
#include "app/startup_preparation.h"
#include "app/unit_install.h"
#include "window/native_window_system.h"
#include "classlib/params.h"
#include "portico_version.h"

#include <cstdio>

int main(int argc, char** argv) {
  portico::LoadSystemCommandLine(argc, argv);
  // The one single argument with a meaning, answered before anything
  // else starts (no display needed); every other count is bad input.
  if (portico::ParamCount() == 1 && portico::ParamStr(1) == "--version") {
    std::fputs("portico " PORTICO_VERSION "\n", stdout);
    return 0;
  }
  // Owns what start-up prepares ahead: the caption face, the decoded images.
  portico::TStartupPreparation preparation;
  // The skin's images are decoded while the window system connects.
  preparation.StartDecoding();
  // Message windows the window system draws itself write with the
  // caption faces (it outlives the window system).
  portico::TMessageTextPainter message_text;
  std::unique_ptr<portico::WindowSystem> ws = portico::CreateNativeWindowSystem();
  // No window system, no window: the caller hears 0, as for any bad start.
  if (!ws) return 0;
  ws->SetMessageTextPainter(&message_text);
  portico::TApplication app(*ws);
  return portico::RunPortico(app, &preparation);
}
