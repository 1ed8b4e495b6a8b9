#include "window/x11/x11_error_trap.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace portico {

namespace {
// The innermost active trap; Xlib's handler has no user data.
X11ErrorTrap* g_active_trap = nullptr;
// Every window this process made (a handful), destroyed ones included.
std::vector<XID> g_own_windows;

// Reports an untrapped protocol error and carries on.
int LogError(Display* display, XErrorEvent* error) {
  const bool gone = error->error_code == BadWindow || error->error_code == BadDrawable;
  if (gone && std::find(g_own_windows.begin(), g_own_windows.end(), error->resourceid) != g_own_windows.end())
    return 0;
  char text[256] = {};
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "portico: X error: %s (request %d.%d, resource 0x%lx)\n", text,
               error->request_code, error->minor_code, error->resourceid);
  return 0;
}
}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), outer_(g_active_trap) {
  XSync(display_, False);
  previous_ = XSetErrorHandler(&X11ErrorTrap::Record);
  g_active_trap = this;
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(previous_);
  g_active_trap = outer_;
}

bool X11ErrorTrap::Failed() {
  XSync(display_, False);
  return error_code_ != 0;
}

int X11ErrorTrap::Record(Display*, XErrorEvent* error) {
  if (g_active_trap && g_active_trap->error_code_ == 0) g_active_trap->error_code_ = error->error_code;
  return 0;
}

int (*InstallX11ErrorLogger())(Display*, XErrorEvent*) { return XSetErrorHandler(&LogError); }

void NoteOwnX11Window(XID window) {
  if (std::find(g_own_windows.begin(), g_own_windows.end(), window) == g_own_windows.end())
    g_own_windows.push_back(window);
}

}  // namespace portico
