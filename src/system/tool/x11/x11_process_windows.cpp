// Other processes' windows on X: a top-level window is found by the
// process id its owner puts in _NET_WM_PID and by its title, read where
// the window's own position is, and moved through the window manager.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "system/tool/process_windows.h"
#include "window/x11/x11_error_trap.h"

namespace portico {

namespace {
class X11ProcessWindows final : public TProcessWindows {
 public:
  explicit X11ProcessWindows(Display* display)
      : display_(display), root_(DefaultRootWindow(display)) {
    InstallX11ErrorLogger();
    pid_atom_ = XInternAtom(display_, "_NET_WM_PID", False);
    name_atom_ = XInternAtom(display_, "_NET_WM_NAME", False);
    utf8_atom_ = XInternAtom(display_, "UTF8_STRING", False);
    client_list_atom_ = XInternAtom(display_, "_NET_CLIENT_LIST", False);
  }
  ~X11ProcessWindows() override { XCloseDisplay(display_); }

  std::optional<TPoint> WindowPosition(TProcessId pid, const std::string& title) override {
    X11ErrorTrap trap(display_);
    const Window window = Find(pid, title);
    int x = 0, y = 0;
    Window child = 0;
    if (!window || !XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child) ||
        trap.Failed())
      return std::nullopt;
    return TPoint{x, y};
  }

  std::optional<TPointerOver> PointerOver(TProcessId pid, const std::string& title) override {
    X11ErrorTrap trap(display_);
    const Window window = Find(pid, title);
    Window root = 0, child = 0;
    int root_x = 0, root_y = 0, x = 0, y = 0;
    unsigned mask = 0;
    XWindowAttributes attributes;
    // False from XQueryPointer: the pointer is on another screen.
    if (!window || !XQueryPointer(display_, window, &root, &child, &root_x, &root_y, &x, &y, &mask) ||
        !XGetWindowAttributes(display_, window, &attributes) || trap.Failed())
      return std::nullopt;
    return TPointerOver{TPoint{x, y}, TPoint{attributes.width, attributes.height}};
  }

  bool MoveWindow(TProcessId pid, const std::string& title, TPoint position) override {
    X11ErrorTrap trap(display_);
    const Window window = Find(pid, title);
    if (!window) return false;
    // The window manager takes the request; with the launcher's static
    // gravity it places the client area itself at the position.
    XMoveWindow(display_, window, position.X, position.Y);
    XFlush(display_);
    return !trap.Failed();
  }

 private:
  // The property's items, or nothing when it is absent or not of `type`.
  std::vector<unsigned long> Longs(Window window, Atom property, Atom type) {
    std::vector<unsigned long> items;
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, property, 0, 65536, False, type, &actual, &format,
                           &count, &after, &data) == Success &&
        data && actual == type && format == 32) {
      const auto* values = reinterpret_cast<const unsigned long*>(data);
      items.assign(values, values + count);
    }
    if (data) XFree(data);
    return items;
  }

  std::string Title(Window window) {
    std::string title;
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, name_atom_, 0, 1024, False, utf8_atom_, &actual,
                           &format, &count, &after, &data) == Success &&
        data && format == 8)
      title.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    if (title.empty()) {
      char* name = nullptr;
      if (XFetchName(display_, window, &name) && name) title = name;
      if (name) XFree(name);
    }
    return title;
  }

  bool Matches(Window window, TProcessId pid, const std::string& title) {
    const std::vector<unsigned long> pids = Longs(window, pid_atom_, XA_CARDINAL);
    if (pids.empty() || TProcessId(pids[0]) != pid || Title(window) != title) return false;
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) &&
           attributes.map_state == IsViewable;
  }

  // The window manager's list of managed windows; without one, the root's
  // children and theirs (a reparenting window manager's frames).
  Window Find(TProcessId pid, const std::string& title) {
    for (unsigned long window : Longs(root_, client_list_atom_, XA_WINDOW))
      if (Matches(window, pid, title)) return window;
    return Search(root_, pid, title, 2);
  }

  Window Search(Window parent, TProcessId pid, const std::string& title, int depth) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i)
      if (Matches(children[i], pid, title)) found = children[i];
    for (unsigned i = 0; i < count && !found && depth > 1; ++i)
      found = Search(children[i], pid, title, depth - 1);
    if (children) XFree(children);
    return found;
  }

  Display* display_;
  Window root_;
  Atom pid_atom_, name_atom_, utf8_atom_, client_list_atom_;
};
}  // namespace

std::unique_ptr<TProcessWindows> TProcessWindows::Open() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  return std::make_unique<X11ProcessWindows>(display);
}

}  // namespace portico
