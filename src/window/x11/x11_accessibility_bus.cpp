// The accessibility bus the desktop announces on the root window.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

#include "window/x11/x11_backend.h"

namespace portico {

std::string X11WindowSystem::AccessibilityBusAddress() {
  // The bus launcher sets AT_SPI_BUS (a string) on the root of the display
  // it serves; without the atom nobody ever set it.
  const Atom property = XInternAtom(display_, "AT_SPI_BUS", True);
  if (property == None) return {};
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  // A D-Bus address is short; 1 KB (256 words) is plenty.
  const int status = XGetWindowProperty(display_, root_, property, 0, 256, False, XA_STRING, &type, &format,
                                        &count, &after, &data);
  std::string address;
  if (status == Success && type == XA_STRING && format == 8 && data)
    address.assign(reinterpret_cast<const char*>(data), count);
  if (data) XFree(data);
  return address;
}

}  // namespace portico
