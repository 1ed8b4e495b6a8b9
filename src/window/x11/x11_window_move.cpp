// Window moves by the window manager (_NET_WM_MOVERESIZE), started the way
// desktop toolkits start them, and the cancel when the window manager
// took the pointer too late to see the button go up.
#include <X11/Xlib.h>

#include "window/x11/x11_backend.h"

namespace portico {

namespace {
// _NET_WM_MOVERESIZE directions and the source "a normal application".
constexpr long MoveResizeMove = 8;
constexpr long MoveResizeCancel = 11;
constexpr long SourceApplication = 1;
}  // namespace

void X11WindowSystem::SendMoveResize(Window window, TPoint root, long direction) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = atoms_.NetWmMoveResize;
  event.xclient.format = 32;
  event.xclient.data.l[0] = root.X;
  event.xclient.data.l[1] = root.Y;
  event.xclient.data.l[2] = direction;
  event.xclient.data.l[3] = Button1;  // the primary button, after the server's mapping
  event.xclient.data.l[4] = SourceApplication;
  XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
}

bool X11WindowSystem::BeginWindowManagerMove(WindowHandle handle, TPoint press) {
  FinishPendingShows();
  const Window window = static_cast<Window>(handle);
  if (!Find(window) || !WmSupports(atoms_.NetWmMoveResize)) return false;
  // The press gave us an implicit grab of the pointer: the window manager
  // cannot take the pointer while we hold it.
  XUngrabPointer(display_, CurrentTime);
  wm_move_window_ = window;
  wm_move_release_seen_ = false;
  SendMoveResize(window, press, MoveResizeMove);
  return true;
}

bool X11WindowSystem::PointerGrabbedElsewhere() {
  // There is no query for grabs: a grab of our own that fails as
  // AlreadyGrabbed tells, and one that succeeds is let go at once.
  const int status = XGrabPointer(display_, root_, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  if (status == GrabSuccess) XUngrabPointer(display_, CurrentTime);
  XFlush(display_);
  return status == AlreadyGrabbed;
}

bool X11WindowSystem::EndWindowManagerMove(WindowHandle handle) {
  FinishPendingShows();
  const Window window = static_cast<Window>(handle);
  const bool release_seen = wm_move_window_ == window && wm_move_release_seen_;
  wm_move_window_ = None;
  wm_move_release_seen_ = false;
  if (!Find(window)) return true;
  // HACK: openbox takes the pointer for the move only when it reads our
  // request. A release before that either reached us (the pointer was
  // still on the window) or went elsewhere, and openbox would then move the
  // window with the pointer until the next click: its grab still stands.
  // Cancel the move in both cases; the caller places the window.
  if (!release_seen && !PointerGrabbedElsewhere()) return true;
  TPoint root;
  if (!CursorPos(root)) root = TPoint{};
  SendMoveResize(window, root, MoveResizeCancel);
  return false;
}

}  // namespace portico
