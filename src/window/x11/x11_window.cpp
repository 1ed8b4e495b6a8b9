// Top-level windows: creation with the hints desktop tools read, showing,
// moving, destroying.
#include <X11/Xatom.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "window/x11/x11_backend.h"
#include "window/x11/x11_error_trap.h"

namespace portico {

namespace {
// X window sizes are 16-bit and never zero.
int ClampSize(int v) { return std::clamp(v, 1, 32767); }

// The motif hints layout window managers read for "no decorations".
struct MotifWmHints {
  unsigned long Flags;
  unsigned long Functions;
  unsigned long Decorations;
  long InputMode;
  unsigned long State;
};
constexpr unsigned long MotifHintsDecorations = 1ul << 1;

// How long ShowWindow waits for the window to appear, then for the focus.
constexpr int64_t MapTimeoutMs = 2000;
constexpr int64_t FocusTimeoutMs = 250;
}  // namespace

WindowHandle X11WindowSystem::CreateTopLevel(const TopLevelSpec& spec, int width, int height) {
  width = ClampSize(width);
  height = ClampSize(height);
  XSetWindowAttributes attrs{};
  // No background: the server would clear exposed areas to it before we
  // repaint them from the frame copy, which flickers.
  attrs.background_pixmap = None;
  attrs.border_pixel = 0;
  attrs.colormap = colormap_;
  attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                     KeyReleaseMask | StructureNotifyMask | FocusChangeMask | EnterWindowMask | LeaveWindowMask;
  Window window = XCreateWindow(display_, root_, 0, 0, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), 0, depth_, InputOutput, visual_,
                                CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &attrs);
  if (!window) return 0;
  NoteOwnX11Window(window);

  SetIdentity(window, spec.Title, spec.ClassName, atoms_.NetWmWindowTypeNormal);
  if (spec.Undecorated) {
    MotifWmHints hints{MotifHintsDecorations, 0, 0, 0, 0};
    XChangeProperty(display_, window, atoms_.MotifWmHints, atoms_.MotifWmHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
  }
  if (spec.SkipTaskbar) {
    Atom states[] = {atoms_.NetWmStateSkipTaskbar, atoms_.NetWmStateSkipPager};
    XChangeProperty(display_, window, atoms_.NetWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(states), 2);
  }

  TopLevel& w = windows_[window];
  w.Width = width;
  w.Height = height;
  w.Gc = XCreateGC(display_, window, 0, nullptr);
  return static_cast<WindowHandle>(window);
}

void X11WindowSystem::SetIdentity(Window window, const std::string& title, const std::string& class_name,
                                  Atom window_type) {
  // The legacy name is typed STRING (Latin-1) when the title is plain
  // ASCII, UTF8_STRING otherwise, which current window managers read.
  const auto* title_bytes = reinterpret_cast<const unsigned char*>(title.data());
  const int title_length = static_cast<int>(std::min<size_t>(title.size(), INT_MAX / 4));
  const bool ascii = std::all_of(title.begin(), title.end(), [](char c) { return (c & 0x80) == 0; });
  XChangeProperty(display_, window, XA_WM_NAME, ascii ? XA_STRING : atoms_.Utf8String, 8, PropModeReplace,
                  title_bytes, title_length);
  XChangeProperty(display_, window, atoms_.NetWmName, atoms_.Utf8String, 8, PropModeReplace, title_bytes,
                  title_length);

  std::string res_name = "portico", res_class = class_name.empty() ? "Portico" : class_name;
  XClassHint class_hint{res_name.data(), res_class.data()};
  XSetClassHint(display_, window, &class_hint);

  XWMHints wm_hints{};
  wm_hints.flags = InputHint | StateHint;
  wm_hints.input = True;
  wm_hints.initial_state = NormalState;
  XSetWMHints(display_, window, &wm_hints);

  long pid = static_cast<long>(getpid());
  XChangeProperty(display_, window, atoms_.NetWmPid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&pid), 1);
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0)
    XChangeProperty(display_, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<unsigned char*>(host), static_cast<int>(std::strlen(host)));
  Atom protocols[] = {atoms_.WmDeleteWindow};
  XSetWMProtocols(display_, window, protocols, 1);
  XChangeProperty(display_, window, atoms_.NetWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&window_type), 1);
}

void X11WindowSystem::SetSizeHints(Window window, int x, int y, int w, int h) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  // Static gravity: the position is that of the client area, not of the
  // frame a window manager may add around it.
  hints->flags = USPosition | PPosition | USSize | PSize | PMinSize | PMaxSize | PWinGravity;
  hints->x = x;
  hints->y = y;
  hints->width = hints->min_width = hints->max_width = w;
  hints->height = hints->min_height = hints->max_height = h;
  hints->win_gravity = StaticGravity;
  XSetWMNormalHints(display_, window, hints);
  XFree(hints);
}

void X11WindowSystem::DestroyWindow(WindowHandle window) {
  auto it = windows_.find(static_cast<Window>(window));
  if (it == windows_.end()) return;
  it->second.Image.reset();
  if (it->second.Gc) XFreeGC(display_, it->second.Gc);
  XDestroyWindow(display_, it->first);
  windows_.erase(it);
  XFlush(display_);
}

void X11WindowSystem::ShowWindow(WindowHandle handle, int x, int y, int width, int height) {
  Window window = static_cast<Window>(handle);
  TopLevel* w = Find(window);
  if (!w) return;
  width = ClampSize(width);
  height = ClampSize(height);
  w->Width = width;
  w->Height = height;
  SetSizeHints(window, x, y, width, height);
  XMoveResizeWindow(display_, window, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (w->Mapped) {
    XRaiseWindow(display_, window);
    XFlush(display_);
    return;
  }
  if (w->ShowPending) return;
  // The wait for the window manager to map the window is left to the first
  // frame, which gets its pixels ready meanwhile.
  XMapRaised(display_, window);
  XFlush(display_);
  w->ShowPending = true;
}

void X11WindowSystem::ShowWindowAhead(WindowHandle window, int x, int y, int width, int height) {
  // Without a compositor a window with no background shows nothing of its
  // own until it is drawn: the screen keeps what was there. A compositor
  // (or XWayland's) would show the window's undrawn pixels.
  if (compositing_ || rootless_) return;
  ShowWindow(window, x, y, width, height);
}

bool X11WindowSystem::FinishMap(Window window, TopLevel& w) {
  if (!w.ShowPending) return false;
  w.ShowPending = false;
  // Waiting for the map lets the first hand-over land on a visible window.
  if (WaitForEvent(window, MapNotify, MapTimeoutMs)) w.Mapped = true;
  return true;
}

void X11WindowSystem::FocusNewWindow(Window window) {
  RequestFocus(window);
  // Window managers hand the focus over asynchronously: a short wait lets
  // ForegroundWindow name the new window right after it was shown.
  WaitForEvent(window, FocusIn, FocusTimeoutMs);
}

void X11WindowSystem::FinishShow(Window window, TopLevel& w) {
  if (FinishMap(window, w)) FocusNewWindow(window);
}

void X11WindowSystem::FinishPendingShows() {
  for (auto& [window, w] : windows_) FinishShow(window, w);
}

bool X11WindowSystem::MapAndWait(Window window) {
  XMapRaised(display_, window);
  return WaitForEvent(window, MapNotify, MapTimeoutMs);
}

bool X11WindowSystem::WaitForEvent(Window window, int type, int64_t timeout_ms) {
  XFlush(display_);
  const int64_t deadline = NowMs() + timeout_ms;
  XEvent event;
  // Other events stay queued for the next WaitEvents.
  while (!XCheckTypedWindowEvent(display_, window, type, &event)) {
    const int64_t left = deadline - NowMs();
    if (left <= 0) return false;
    PollConnection(left);
  }
  return true;
}

void X11WindowSystem::RequestFocus(Window window) {
  if (WmSupports(atoms_.NetActiveWindow)) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atoms_.NetActiveWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // source: a normal application
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, root_, False, SubstructureNotifyMask | SubstructureRedirectMask, &event);
  }
  // Fails with BadMatch when the window manager has not shown the frame yet.
  X11ErrorTrap trap(display_);
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
}

bool X11WindowSystem::WmSupports(Atom feature) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, root_, atoms_.NetSupported, 0, 4096, False, XA_ATOM, &type, &format,
                         &count, &after, &data) != Success)
    return false;
  bool found = false;
  if (data && type == XA_ATOM && format == 32) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    found = std::find(atoms, atoms + count, feature) != atoms + count;
  }
  if (data) XFree(data);
  return found;
}

void X11WindowSystem::SetWindowBounds(WindowHandle handle, int x, int y, int width, int height) {
  FinishPendingShows();
  Window window = static_cast<Window>(handle);
  TopLevel* w = Find(window);
  if (!w) return;
  width = ClampSize(width);
  height = ClampSize(height);
  // The size is fixed through the hints: a window manager would refuse
  // the new size otherwise.
  if (width != w->Width || height != w->Height) SetSizeHints(window, x, y, width, height);
  w->Width = width;
  w->Height = height;
  XMoveResizeWindow(display_, window, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFlush(display_);
}

}  // namespace portico
