// The atoms the backend names, interned in one round trip.
#pragma once
#include <X11/Xlib.h>

namespace portico {

struct X11Atoms {
  Atom WmProtocols = None;
  Atom WmDeleteWindow = None;
  Atom MotifWmHints = None;
  Atom NetWmState = None;
  Atom NetWmStateSkipTaskbar = None;
  Atom NetWmStateSkipPager = None;
  Atom NetWmName = None;
  Atom NetWmPid = None;
  Atom NetWmWindowType = None;
  Atom NetWmWindowTypeNormal = None;
  Atom NetWmWindowTypeDialog = None;
  Atom NetActiveWindow = None;
  Atom NetSupported = None;
  Atom NetWmMoveResize = None;
  Atom Utf8String = None;
  Atom NetWmCmSelection = None;  // _NET_WM_CM_S<screen>

  // Interns every atom above, in one round trip; false when the server refused.
  bool Intern(Display* display, int screen);
};

}  // namespace portico
