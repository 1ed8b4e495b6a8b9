// The display connection: opening, visual and extension discovery, the
// clock, closing.
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>
#include <sys/socket.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "window/native_window_system.h"
#include "window/x11/x11_backend.h"
#include "window/x11/x11_error_trap.h"
#include "window/x11/x11_window_system.h"

namespace portico {

namespace {
// Whether the connection is a local (Unix-domain) socket: only then can the
// server see our shared memory.
bool IsLocalConnection(Display* display) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(ConnectionNumber(display), reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return false;
  return address.ss_family == AF_UNIX;
}
// The display went away. Xlib ends the process once this returns; exit
// ourselves with 0 instead, since 1 tells the caller the user chose "Exit".
int OnConnectionLost(Display*) {
  std::fprintf(stderr, "portico: lost the connection to the X display\n");
  std::fflush(stderr);
  _exit(0);
}
}  // namespace

std::unique_ptr<WindowSystem> CreateX11WindowSystem() { return X11WindowSystem::Open(); }

std::unique_ptr<WindowSystem> CreateNativeWindowSystem(bool say_why) {
  std::unique_ptr<WindowSystem> ws = CreateX11WindowSystem();
  if (!ws && say_why) std::fprintf(stderr, "portico: cannot open the X display\n");
  return ws;
}

std::unique_ptr<X11WindowSystem> X11WindowSystem::Open() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<X11WindowSystem> ws(new X11WindowSystem(display));
  if (!ws->Initialize()) return nullptr;
  return ws;
}

X11WindowSystem::X11WindowSystem(Display* display) : display_(display) {
  previous_error_handler_ = InstallX11ErrorLogger();
  XSetIOErrorHandler(&OnConnectionLost);
}

bool X11WindowSystem::Initialize() {
  screen_ = DefaultScreen(display_);
  root_ = RootWindow(display_, screen_);
  if (!atoms_.Intern(display_, screen_)) return false;
  // A compositing manager owns this selection; only then does a window's
  // alpha channel mean anything.
  const Atom cm = atoms_.NetWmCmSelection;
  compositing_ = cm != None && XGetSelectionOwner(display_, cm) != None;
  if (!ChooseVisual()) {
    std::fprintf(stderr, "portico: the X display offers no true-colour visual\n");
    return false;
  }
  int event_base = 0, error_base = 0;
  has_shape_ = XShapeQueryExtension(display_, &event_base, &error_base);
  if (has_shape_) {
    int major = 0, minor = 0;
    // Input shapes came with version 1.1 of the extension.
    has_input_shape_ = XShapeQueryVersion(display_, &major, &minor) && (major > 1 || (major == 1 && minor >= 1));
  }
  // XWayland hands each window to a Wayland compositor as a surface of its
  // own, whatever was drawn into it so far.
  int opcode = 0;
  rootless_ = XQueryExtension(display_, "XWAYLAND", &opcode, &event_base, &error_base);
  use_shm_ = XShmQueryExtension(display_) && IsLocalConnection(display_) &&
             std::getenv("PORTICO_X11_NO_SHM") == nullptr;
  return true;
}

bool X11WindowSystem::ChooseVisual() {
  Visual* def = DefaultVisual(display_, screen_);
  const int def_depth = DefaultDepth(display_, screen_);
  XVisualInfo argb{};
  // A visual with alpha: bits outside the colour masks.
  if (compositing_ && XMatchVisualInfo(display_, screen_, 32, TrueColor, &argb) &&
      (~(argb.red_mask | argb.green_mask | argb.blue_mask) & 0xFFFFFFFFul) != 0) {
    // Another visual than the root's: our own colormap, and windows need an
    // explicit border pixel (CreateTopLevel sets one).
    visual_ = argb.visual;
    depth_ = 32;
    colormap_ = XCreateColormap(display_, root_, visual_, AllocNone);
    own_colormap_ = true;
  } else if (def->c_class == TrueColor && (def_depth == 24 || def_depth == 32)) {
    visual_ = def;
    depth_ = def_depth;
    colormap_ = DefaultColormap(display_, screen_);
  } else {
    // 24 bits first: a 32-bit visual carries alpha that a compositor honours.
    XVisualInfo info{};
    bool found = false;
    for (int depth : {24, 32, 16, 15})
      if (XMatchVisualInfo(display_, screen_, depth, TrueColor, &info)) {
        found = true;
        break;
      }
    if (!found) return false;
    visual_ = info.visual;
    depth_ = info.depth;
    colormap_ = XCreateColormap(display_, root_, visual_, AllocNone);
    own_colormap_ = true;
  }
  if (compositing_ && depth_ != 32) compositing_ = false;
  format_ = X11PixelFormat::For(display_, visual_, depth_);
  return true;
}

X11WindowSystem::~X11WindowSystem() {
  for (auto& [window, w] : windows_) {
    w.Image.reset();
    if (w.Gc) XFreeGC(display_, w.Gc);
    XDestroyWindow(display_, window);
  }
  windows_.clear();
  if (own_colormap_) XFreeColormap(display_, colormap_);
  XCloseDisplay(display_);
  XSetErrorHandler(previous_error_handler_);
}

X11WindowSystem::TopLevel* X11WindowSystem::Find(Window window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

TPoint X11WindowSystem::ScreenSize() {
  return TPoint{DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)};
}

int64_t X11WindowSystem::NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace portico
