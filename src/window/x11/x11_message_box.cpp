// A modal message window drawn with core X fonts: the text, wrapped, and
// an OK button. It runs its own event loop until dismissed.
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>

#include "window/x11/x11_backend.h"
#include "window/x11/x11_error_trap.h"
#include "window/x11/x11_message_text.h"

namespace portico {

namespace {
constexpr int Margin = 16;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 26;
constexpr int MinTextWidth = 200;
constexpr int MaxTextWidth = 560;
constexpr size_t MaxLines = 40;
// A longer text is cut before it is laid out.
constexpr size_t MaxTextBytes = 16384;

struct MessageLayout {
  std::vector<std::string> Lines;
  int LineHeight = 0;
  int Ascent = 0;
  int Width = 0;
  int Height = 0;
  TRect Button;
};

// Places the wrapped text and the button for `font` on a screen of the given width.
MessageLayout LayOut(XFontStruct* font, const std::string& text, int screen_width) {
  MessageLayout l;
  auto width = [font](const std::string& s) { return XTextWidth(font, s.data(), static_cast<int>(s.size())); };
  const int max_width = std::clamp(screen_width - 4 * Margin, MinTextWidth, MaxTextWidth);
  l.Lines = WrapText(Utf8ToLatin1(text.substr(0, MaxTextBytes)), max_width, MaxLines, width);
  int text_width = MinTextWidth;
  for (const std::string& line : l.Lines) text_width = std::max(text_width, width(line));
  l.Ascent = font->ascent;
  l.LineHeight = font->ascent + font->descent + 2;
  l.Width = std::min(text_width, max_width) + 2 * Margin;
  const int text_height = static_cast<int>(l.Lines.size()) * l.LineHeight;
  const int button_top = Margin + text_height + Margin;
  l.Button = TRect{(l.Width - ButtonWidth) / 2, button_top, (l.Width + ButtonWidth) / 2, button_top + ButtonHeight};
  l.Height = button_top + ButtonHeight + Margin;
  return l;
}

}  // namespace

void X11WindowSystem::ShowMessage(const std::string& title, const std::string& text) {
  FinishPendingShows();
  XFontStruct* font = XLoadQueryFont(display_, "fixed");
  const bool loaded_font = font != nullptr;
  // Without the "fixed" alias, the default GC's font is always there.
  if (!font) font = XQueryFont(display_, XGContextFromGC(DefaultGC(display_, screen_)));
  if (!font) {
    std::fprintf(stderr, "portico: no font for the message window\n");
    return;
  }
  // The focus goes back where it was: window managers may leave it nowhere.
  const Window focus_before = static_cast<Window>(ForegroundWindow());
  const TPoint screen = ScreenSize();
  const MessageLayout layout = LayOut(font, text, screen.X);

  XSetWindowAttributes attrs{};
  attrs.background_pixel = format_.Convert(0xF0F0F0);
  attrs.border_pixel = 0;
  attrs.colormap = colormap_;
  attrs.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
  const int x = std::max(0, (screen.X - layout.Width) / 2), y = std::max(0, (screen.Y - layout.Height) / 2);
  const Window box = XCreateWindow(display_, root_, x, y, static_cast<unsigned>(layout.Width),
                                   static_cast<unsigned>(layout.Height), 0, depth_, InputOutput, visual_,
                                   CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attrs);
  NoteOwnX11Window(box);
  SetIdentity(box, title, "Portico", atoms_.NetWmWindowTypeDialog);
  SetSizeHints(box, x, y, layout.Width, layout.Height);
  // Kept above our shown window by the window manager.
  for (auto& [window, w] : windows_)
    if (w.Mapped) {
      XSetTransientForHint(display_, box, window);
      break;
    }
  GC gc = XCreateGC(display_, box, 0, nullptr);
  XSetFont(display_, gc, font->fid);

  bool pressed = false;
  auto draw = [&] {
    XClearWindow(display_, box);
    XSetForeground(display_, gc, format_.Convert(0x000000));
    for (size_t i = 0; i < layout.Lines.size(); ++i) {
      const std::string& line = layout.Lines[i];
      XDrawString(display_, box, gc, Margin, Margin + layout.Ascent + static_cast<int>(i) * layout.LineHeight,
                  line.data(), static_cast<int>(line.size()));
    }
    const TRect& b = layout.Button;
    XSetForeground(display_, gc, format_.Convert(pressed ? 0xC0C0C0 : 0xE0E0E0));
    XFillRectangle(display_, box, gc, b.Left, b.Top, ButtonWidth, ButtonHeight);
    XSetForeground(display_, gc, format_.Convert(0x000000));
    XDrawRectangle(display_, box, gc, b.Left, b.Top, ButtonWidth - 1, ButtonHeight - 1);
    const int label_width = XTextWidth(font, "OK", 2);
    XDrawString(display_, box, gc, b.Left + (ButtonWidth - label_width) / 2,
                b.Top + (ButtonHeight + font->ascent - font->descent) / 2, "OK", 2);
  };

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
          if (event.xbutton.button == Button1 && layout.Button.Contains(event.xbutton.x, event.xbutton.y)) {
            pressed = true;
            draw();
          }
          break;
        case ButtonRelease:
          if (event.xbutton.button == Button1 && pressed) {
            pressed = false;
            done = layout.Button.Contains(event.xbutton.x, event.xbutton.y);
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
  if (loaded_font)
    XFreeFont(display_, font);
  else
    XFreeFontInfo(nullptr, font, 1);
  if (const TopLevel* w = Find(focus_before); w && w->Mapped) RequestFocus(focus_before);
  XFlush(display_);
}

}  // namespace portico
