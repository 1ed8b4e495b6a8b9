// Scoped trapping of X protocol errors, for requests on windows that may
// vanish at any moment (other clients' windows) or extensions that may
// refuse (MIT-SHM attach).
#pragma once
#include <X11/Xlib.h>

namespace portico {

class X11ErrorTrap {
 public:
  // Syncs so that earlier errors are not caught here, then takes over the
  // error handler.
  explicit X11ErrorTrap(Display* display);
  // Syncs so that every error of the trapped requests has arrived, then
  // gives the handler back.
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Syncs and tells whether any request since the trap was set failed.
  bool Failed();

 private:
  static int Record(Display* display, XErrorEvent* error);

  Display* display_;
  int (*previous_)(Display*, XErrorEvent*);
  X11ErrorTrap* outer_;
  int error_code_ = 0;
};

// Installs a handler that reports protocol errors on stderr instead of
// ending the process (Xlib's default); returns the previous one.
int (*InstallX11ErrorLogger())(Display*, XErrorEvent*);

// Notes a window of ours for the logger: another program may destroy it at
// any moment, and requests already on their way then fail (BadWindow,
// BadDrawable) before we hear of it. Those errors are expected, not reported.
void NoteOwnX11Window(XID window);

}  // namespace portico
