// The event loop: waiting on the connection and turning X events into
// calls on the sink.
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "window/x11/x11_backend.h"

namespace portico {
namespace {
// A repeat's release and press are stamped separately, so under load
// their times may differ by a millisecond or so.
constexpr Time RepeatGapMs = 20;
}  // namespace

void X11WindowSystem::PollConnection(int64_t timeout_ms) {
  // The connection first, then every watched descriptor.
  std::vector<pollfd> fds{{ConnectionNumber(display_), POLLIN, 0}};
  descriptor_watches_.AppendPollFds(fds);
  const int timeout = timeout_ms < 0 ? -1 : static_cast<int>(std::min<int64_t>(timeout_ms, INT_MAX));
  // An interrupted wait just returns early, which the contract allows.
  if (poll(fds.data(), fds.size(), timeout) <= 0) return;
  descriptor_watches_.Dispatch(fds, 1);
}

int X11WindowSystem::WatchDescriptor(int fd, bool readable, bool writable, std::function<void(unsigned)> ready) {
  return descriptor_watches_.Watch(fd, readable, writable, std::move(ready));
}

void X11WindowSystem::UnwatchDescriptor(int id) { descriptor_watches_.Unwatch(id); }

void X11WindowSystem::WaitEvents(int64_t timeout_ms) {
  FinishPendingShows();
  XFlush(display_);
  // Xlib may already hold events it read along with a reply: the socket
  // would not wake us for those, but watched descriptors get a look.
  if (XPending(display_) == 0)
    PollConnection(timeout_ms);
  else if (!descriptor_watches_.Empty())
    PollConnection(0);
  DrainQueue();
}

void X11WindowSystem::DrainQueue() {
  XEvent event;
  // Only what is queued now: a flood of new events must not keep the
  // caller from its timers. A handler's nested loop (a message window)
  // may take events from the queue, hence the second check.
  for (int n = XPending(display_); n > 0 && XEventsQueued(display_, QueuedAlready) > 0; --n) {
    XNextEvent(display_, &event);
    Dispatch(event);
  }
}

namespace {
// The pointer as a pointer event left it: the button state an event carries
// is the one before it (a press or release of button 1 changes it); the
// position is where it happened.
std::optional<X11PointerState> PointerStateAfter(const XEvent& event) {
  switch (event.type) {
    case ButtonPress:
      return X11PointerState{(event.xbutton.state & Button1Mask) != 0 || event.xbutton.button == Button1,
                             TPoint{event.xbutton.x_root, event.xbutton.y_root}};
    case ButtonRelease:
      return X11PointerState{(event.xbutton.state & Button1Mask) != 0 && event.xbutton.button != Button1,
                             TPoint{event.xbutton.x_root, event.xbutton.y_root}};
    case MotionNotify:
      return X11PointerState{(event.xmotion.state & Button1Mask) != 0,
                             TPoint{event.xmotion.x_root, event.xmotion.y_root}};
    case EnterNotify:
    case LeaveNotify:
      return X11PointerState{(event.xcrossing.state & Button1Mask) != 0,
                             TPoint{event.xcrossing.x_root, event.xcrossing.y_root}};
    default:
      return std::nullopt;
  }
}

// Sets the event's pointer state for the time of a dispatch.
class ScopedPointerState {
 public:
  ScopedPointerState(std::optional<X11PointerState>& slot, std::optional<X11PointerState> value)
      : slot_(slot), saved_(slot) {
    slot_ = value;
  }
  ~ScopedPointerState() { slot_ = saved_; }
  ScopedPointerState(const ScopedPointerState&) = delete;
  ScopedPointerState& operator=(const ScopedPointerState&) = delete;

 private:
  std::optional<X11PointerState>& slot_;
  std::optional<X11PointerState> saved_;
};
}  // namespace

bool X11WindowSystem::OnCutAway(const TopLevel& w, int x, int y) {
  if (!w.Shape || !TRect{0, 0, w.Width, w.Height}.Contains(x, y)) return false;
  for (const TRect& r : *w.Shape)
    if (r.Contains(x, y)) return false;
  return true;
}

bool X11WindowSystem::HandleCutAwayPointer(XEvent& event, TopLevel& w) {
  // HACK: XWayland 22 does not pass the input shape on to Wayland, so
  // presses and moves on cut-away parts reach our window. They are not
  // ours: a press there and everything up to its release is dropped, and a
  // move there is the pointer leaving. Elsewhere the server never sends them.
  constexpr unsigned HeldButtons = Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;
  const WindowHandle handle = static_cast<WindowHandle>(event.xany.window);
  auto leave = [&](int x, int y) { sink_->PointerEvent(handle, PointerAction::Leave, 0, x, y); };
  switch (event.type) {
    case ButtonPress:
      if (w.ForeignPress) return true;
      if ((event.xbutton.state & HeldButtons) != 0 || !OnCutAway(w, event.xbutton.x, event.xbutton.y)) return false;
      w.ForeignPress = true;
      leave(event.xbutton.x, event.xbutton.y);
      return true;
    case ButtonRelease: {
      if (!w.ForeignPress) return false;
      const unsigned this_button = event.xbutton.button <= 5 ? Button1Mask << (event.xbutton.button - 1) : 0;
      if ((event.xbutton.state & HeldButtons & ~this_button) == 0) w.ForeignPress = false;
      return true;
    }
    case MotionNotify:
      if (w.ForeignPress) return true;
      if (!OnCutAway(w, event.xmotion.x, event.xmotion.y)) return false;
      leave(event.xmotion.x, event.xmotion.y);
      return true;
    case EnterNotify:
      if (event.xcrossing.mode != NotifyNormal || !OnCutAway(w, event.xcrossing.x, event.xcrossing.y)) return false;
      leave(event.xcrossing.x, event.xcrossing.y);
      return true;
    default:
      return false;
  }
}

void X11WindowSystem::Dispatch(XEvent& event) {
  if (HandleWindowState(event)) return;
  const Window window = event.xany.window;
  TopLevel* w = Find(window);
  if (!w || !sink_) return;
  // A release that reaches us during a handed-over move never reached the
  // window manager.
  if (event.type == ButtonRelease && window == wm_move_window_ && event.xbutton.button == Button1)
    wm_move_release_seen_ = true;
  const WindowHandle handle = static_cast<WindowHandle>(window);
  ScopedPointerState pointer_state(event_pointer_, PointerStateAfter(event));
  if (HandleCutAwayPointer(event, *w)) return;
  switch (event.type) {
    case ButtonPress:
    case ButtonRelease: {
      const unsigned button = event.xbutton.button;
      const int x = event.xbutton.x, y = event.xbutton.y;
      if (button >= 1 && button <= 3) {
        sink_->PointerEvent(handle, event.type == ButtonPress ? PointerAction::Press : PointerAction::Release,
                            static_cast<int>(button), x, y);
      } else if (event.type == ButtonPress && button <= 7) {
        // The wheel only tells that the pointer is here.
        sink_->PointerEvent(handle, PointerAction::Move, 0, x, y);
      }
      break;
    }
    case MotionNotify: {
      // Only the latest position matters: skip motions already superseded.
      XEvent next;
      if (XEventsQueued(display_, QueuedAlready) > 0) {
        XPeekEvent(display_, &next);
        if (next.type == MotionNotify && next.xmotion.window == window) break;
      }
      sink_->PointerEvent(handle, PointerAction::Move, 0, event.xmotion.x, event.xmotion.y);
      break;
    }
    case EnterNotify:
      // A window mapped under a resting pointer gets no motion.
      if (event.xcrossing.mode == NotifyNormal)
        sink_->PointerEvent(handle, PointerAction::Move, 0, event.xcrossing.x, event.xcrossing.y);
      break;
    case LeaveNotify:
      // Left, whatever the coordinates say (XWayland reports the last ones
      // inside). Grab changes and moves into a child of ours are no leave.
      if (event.xcrossing.mode == NotifyNormal && event.xcrossing.detail != NotifyInferior)
        sink_->PointerEvent(handle, PointerAction::Leave, 0, event.xcrossing.x, event.xcrossing.y);
      break;
    case KeyPress:
    case KeyRelease:
      HandleKey(event, handle);
      break;
    case FocusIn:
    case FocusOut:
      // The focus moving between windows (not within ours, not the
      // pointer's stand-in focus under PointerRoot).
      if (event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer)
        sink_->KeyboardFocusChanged(handle);
      break;
    case ClientMessage:
      if (event.xclient.message_type == atoms_.WmProtocols && event.xclient.format == 32 &&
          static_cast<Atom>(event.xclient.data.l[0]) == atoms_.WmDeleteWindow)
        sink_->CloseRequested(handle);
      break;
    default:
      break;
  }
}

namespace {
// The keys of the contract by their key symbol (with the modifiers applied,
// so that the keypad follows Num Lock); false for others.
bool KeyOf(KeySym keysym, VirtualKey& key) {
  switch (keysym) {
    case XK_Tab:
    case XK_ISO_Left_Tab:  // Shift+Tab on most layouts
    case XK_KP_Tab:
      key = VirtualKey::Tab;
      return true;
    case XK_Return:
    case XK_KP_Enter:
      key = VirtualKey::Return;
      return true;
    case XK_Escape:
      key = VirtualKey::Escape;
      return true;
    case XK_space:
    case XK_KP_Space:
      key = VirtualKey::Space;
      return true;
    case XK_Left:
    case XK_KP_Left:
      key = VirtualKey::Left;
      return true;
    case XK_Up:
    case XK_KP_Up:
      key = VirtualKey::Up;
      return true;
    case XK_Right:
    case XK_KP_Right:
      key = VirtualKey::Right;
      return true;
    case XK_Down:
    case XK_KP_Down:
      key = VirtualKey::Down;
      return true;
    default:
      return false;
  }
}
}  // namespace

void X11WindowSystem::HandleKey(XEvent& event, WindowHandle handle) {
  if (!detectable_repeat_asked_) {
    // With it the server repeats a held key as presses alone. The first
    // repeat comes long after the first press, so asking now is in time.
    detectable_repeat_asked_ = true;
    XkbSetDetectableAutoRepeat(display_, True, nullptr);
  }
  if (event.type == KeyRelease) {
    // Where the server cannot, a held key repeats as a release and a press
    // stamped a moment apart: that release is none (the contract has no Up
    // between repeats).
    if (XEventsQueued(display_, QueuedAfterReading) > 0) {
      XEvent next;
      XPeekEvent(display_, &next);
      if (next.type == KeyPress && next.xkey.window == event.xkey.window &&
          next.xkey.keycode == event.xkey.keycode && next.xkey.time - event.xkey.time < RepeatGapMs)
        return;
    }
  }
  char text[16] = {};
  KeySym keysym = NoSymbol;
  const int length = XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
  VirtualKey key{};
  if (KeyOf(keysym, key))
    sink_->KeyEvent(handle, event.type == KeyPress ? KeyAction::Down : KeyAction::Up, key,
                    (event.xkey.state & ShiftMask) != 0);
  // The handler may have ended the window.
  if (event.type == KeyPress && length > 0 && sink_ && Find(event.xkey.window)) sink_->KeyChar(handle, text[0]);
}

bool X11WindowSystem::HandleWindowState(XEvent& event) {
  switch (event.type) {
    case Expose: {
      const Window window = event.xexpose.window;
      if (TopLevel* w = Find(window))
        Repaint(window, *w,
                TRect{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                      event.xexpose.y + event.xexpose.height});
      return true;
    }
    case MapNotify:
      if (TopLevel* w = Find(event.xmap.window)) w->Mapped = true;
      return true;
    case DestroyNotify: {
      // Another program destroyed our window (we forget ours before we
      // destroy it): let go of what belonged to it and tell the owner.
      const Window window = event.xdestroywindow.window;
      auto it = windows_.find(window);
      if (it == windows_.end() || event.xdestroywindow.event != window) return true;
      it->second.Image.reset();
      if (it->second.Gc) XFreeGC(display_, it->second.Gc);
      windows_.erase(it);
      if (sink_) sink_->WindowDestroyed(static_cast<WindowHandle>(window));
      return true;
    }
    case UnmapNotify:
      if (TopLevel* w = Find(event.xunmap.window)) w->Mapped = false;
      return true;
    case ConfigureNotify: {
      const Window window = event.xconfigure.window;
      TopLevel* w = Find(window);
      if (!w || event.xconfigure.event != window) return true;
      int x = event.xconfigure.x, y = event.xconfigure.y;
      if (!event.xconfigure.send_event) {
        // A real event is relative to the parent, which is the window
        // manager's frame once we are reparented; a synthetic one (from
        // the window manager) is on the root already.
        Window child = None;
        if (!XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child)) return true;
      }
      if (sink_) sink_->WindowMoved(static_cast<WindowHandle>(window), x, y);
      return true;
    }
    default:
      return false;
  }
}

void X11WindowSystem::Repaint(Window window, TopLevel& w, TRect area) {
  area = IntersectRect(area, TRect{0, 0, w.Width, w.Height});
  if (area.IsEmpty()) return;
  TRect image_area{};
  if (w.Image) {
    image_area = IntersectRect(area, TRect{0, 0, w.Image->Width(), w.Image->Height()});
    if (!image_area.IsEmpty()) w.Image->Put(window, w.Gc, image_area);
  }
  // Parts of the window no frame covers are black (the window has no
  // background of its own, to avoid flicker).
  XSetForeground(display_, w.Gc, format_.Convert(0));
  const int image_right = w.Image ? w.Image->Width() : 0, image_bottom = w.Image ? w.Image->Height() : 0;
  TRect right = IntersectRect(area, TRect{image_right, 0, w.Width, w.Height});
  TRect below = IntersectRect(area, TRect{0, image_bottom, std::min(image_right, w.Width), w.Height});
  for (const TRect& r : {right, below})
    if (!r.IsEmpty())
      XFillRectangle(display_, window, w.Gc, r.Left, r.Top, static_cast<unsigned>(r.Width()),
                     static_cast<unsigned>(r.Height()));
}

}  // namespace portico
