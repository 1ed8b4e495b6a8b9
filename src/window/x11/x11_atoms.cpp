#include "window/x11/x11_atoms.h"

#include <iterator>
#include <string>

namespace portico {

bool X11Atoms::Intern(Display* display, int screen) {
  // A compositing manager owns this selection for its screen.
  std::string cm_selection = "_NET_WM_CM_S" + std::to_string(screen);
  char* names[] = {
      const_cast<char*>("WM_PROTOCOLS"),
      const_cast<char*>("WM_DELETE_WINDOW"),
      const_cast<char*>("_MOTIF_WM_HINTS"),
      const_cast<char*>("_NET_WM_STATE"),
      const_cast<char*>("_NET_WM_STATE_SKIP_TASKBAR"),
      const_cast<char*>("_NET_WM_STATE_SKIP_PAGER"),
      const_cast<char*>("_NET_WM_NAME"),
      const_cast<char*>("_NET_WM_PID"),
      const_cast<char*>("_NET_WM_WINDOW_TYPE"),
      const_cast<char*>("_NET_WM_WINDOW_TYPE_NORMAL"),
      const_cast<char*>("_NET_WM_WINDOW_TYPE_DIALOG"),
      const_cast<char*>("_NET_ACTIVE_WINDOW"),
      const_cast<char*>("_NET_SUPPORTED"),
      const_cast<char*>("_NET_WM_MOVERESIZE"),
      const_cast<char*>("UTF8_STRING"),
      cm_selection.data(),
  };
  Atom* slots[] = {&WmProtocols,     &WmDeleteWindow,        &MotifWmHints,
                   &NetWmState,      &NetWmStateSkipTaskbar, &NetWmStateSkipPager,
                   &NetWmName,       &NetWmPid,              &NetWmWindowType,
                   &NetWmWindowTypeNormal, &NetWmWindowTypeDialog, &NetActiveWindow,
                   &NetSupported,    &NetWmMoveResize,       &Utf8String,
                   &NetWmCmSelection};
  static_assert(std::size(names) == std::size(slots));
  Atom atoms[std::size(names)] = {};
  if (!XInternAtoms(display, names, static_cast<int>(std::size(names)), False, atoms)) return false;
  for (size_t i = 0; i < std::size(slots); ++i) *slots[i] = atoms[i];
  return true;
}

}  // namespace portico
