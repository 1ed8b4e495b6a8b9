// A modal message window: the text, wrapped, and an OK button, centred on
// the primary monitor. It runs its own event loop until dismissed.
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>

#include "window/x11/x11_backend.h"
#include "window/x11/x11_error_trap.h"
#include "window/x11/x11_message_painting.h"

namespace portico {

void X11WindowSystem::ShowMessage(const std::string& title, const std::string& text) {
  FinishPendingShows();
  const TRect monitor = PrimaryMonitor();
  const std::unique_ptr<X11MessagePainting> painting = X11MessagePainting::Create(
      X11MessageDisplay{display_, screen_, visual_, format_}, message_text_, text, monitor, ScaleFactor());
  if (!painting) {
    std::fprintf(stderr, "portico: no font for the message window\n");
    return;
  }
  // The focus goes back where it was: window managers may leave it nowhere.
  const Window focus_before = static_cast<Window>(ForegroundWindow());
  const int width = painting->Width(), height = painting->Height();

  XSetWindowAttributes attrs{};
  attrs.background_pixel = format_.Convert(0xF0F0F0);
  attrs.border_pixel = 0;
  attrs.colormap = colormap_;
  attrs.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
  const int x = std::max(monitor.Left, monitor.Left + (monitor.Right - monitor.Left - width) / 2);
  const int y = std::max(monitor.Top, monitor.Top + (monitor.Bottom - monitor.Top - height) / 2);
  const Window box = XCreateWindow(display_, root_, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                   0, depth_, InputOutput, visual_,
                                   CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attrs);
  NoteOwnX11Window(box);
  SetIdentity(box, title, "Portico", atoms_.NetWmWindowTypeDialog);
  SetSizeHints(box, x, y, width, height);
  // Kept above our shown window by the window manager.
  for (auto& [window, w] : windows_)
    if (w.Mapped) {
      XSetTransientForHint(display_, box, window);
      break;
    }
  GC gc = XCreateGC(display_, box, 0, nullptr);
  const TRect& button = painting->Button();
  bool pressed = false;
  auto draw = [&] { painting->Draw(box, gc, pressed); };

  MapAndWait(box);
  RequestFocus(box);
  bool done = false, destroyed = false;
  XEvent event;
  while (!done) {
    XFlush(display_);
    if (XPending(display_) == 0) PollConnection(-1);
    while (!done && XPending(display_) > 0) {
      XNextEvent(display_, &event);
      if (event.xany.window != box) {
        // Our other windows still repaint; their input waits for the
        // answer, and a click or key there brings the message back.
        if (!HandleWindowState(event) && Find(event.xany.window) &&
            (event.type == ButtonPress || event.type == KeyPress)) {
          XRaiseWindow(display_, box);
          RequestFocus(box);
        }
        continue;
      }
      switch (event.type) {
        case Expose:
          if (event.xexpose.count == 0) draw();
          break;
        case KeyPress: {
          char buffer[8];
          KeySym key = NoSymbol;
          XLookupString(&event.xkey, buffer, sizeof buffer, &key, nullptr);
          done = key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space;
          break;
        }
        case ButtonPress:
          if (event.xbutton.button == Button1 && button.Contains(event.xbutton.x, event.xbutton.y)) {
            pressed = true;
            draw();
          }
          break;
        case ButtonRelease:
          if (event.xbutton.button == Button1 && pressed) {
            pressed = false;
            done = button.Contains(event.xbutton.x, event.xbutton.y);
            if (!done) draw();
          }
          break;
        case ClientMessage:
          done = event.xclient.message_type == atoms_.WmProtocols && event.xclient.format == 32 &&
                 static_cast<Atom>(event.xclient.data.l[0]) == atoms_.WmDeleteWindow;
          break;
        case DestroyNotify:
          done = destroyed = true;
          break;
        default:
          break;
      }
    }
  }
  XFreeGC(display_, gc);
  if (!destroyed) XDestroyWindow(display_, box);
  if (const TopLevel* w = Find(focus_before); w && w->Mapped) RequestFocus(focus_before);
  XFlush(display_);
}

}  // namespace portico
