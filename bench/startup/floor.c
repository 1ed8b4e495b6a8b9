/* The floor for start-up measurements: the least an X program must do to
 * show a picture. It opens the display, creates a 480x320 undecorated
 * window centred on the screen (WIDTHxHEIGHT as its argument: another
 * size), maps it, puts one image into it and waits for Escape (or a close
 * request). Nothing else: no files, no fonts. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  int Width = 480, Height = 320;
  if (argc > 1 && (sscanf(argv[1], "%dx%d", &Width, &Height) != 2 || Width < 1 || Height < 1 ||
                   Width > 8192 || Height > 8192))
    return 2;
  Display* display = XOpenDisplay(NULL);
  if (!display) return 2;
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  const int x = (DisplayWidth(display, screen) - Width) / 2;
  const int y = (DisplayHeight(display, screen) - Height) / 2;

  XSetWindowAttributes attrs = {0};
  attrs.background_pixmap = None;
  attrs.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | PointerMotionMask | StructureNotifyMask;
  const Window window = XCreateWindow(display, root, x, y, Width, Height, 0, CopyFromParent, InputOutput,
                                      CopyFromParent, CWBackPixmap | CWEventMask, &attrs);
  /* No decorations, as Portico asks for. */
  const Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
  const long hints[5] = {2, 0, 0, 0, 0};
  XChangeProperty(display, window, motif, motif, 32, PropModeReplace, (const unsigned char*)hints, 5);
  XSizeHints size = {0};
  size.flags = USPosition | PPosition;
  size.x = x;
  size.y = y;
  XSetWMNormalHints(display, window, &size);
  const Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, (Atom*)&delete_window, 1);

  /* A vertical gradient of the demo skin's blue. */
  uint32_t* pixels = malloc(sizeof(uint32_t) * (size_t)Width * (size_t)Height);
  if (!pixels) return 2;
  for (int row = 0; row < Height; ++row)
    for (int col = 0; col < Width; ++col)
      pixels[row * Width + col] = 0x182848u + ((uint32_t)(row * 8 / Height) << 8);
  XImage* image = XCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen),
                               ZPixmap, 0, (char*)pixels, Width, Height, 32, 0);
  const GC gc = XCreateGC(display, window, 0, NULL);

  XMapWindow(display, window);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == Expose && event.xexpose.count == 0) {
      XPutImage(display, window, gc, image, 0, 0, 0, 0, Width, Height);
      XFlush(display);
    } else if (event.type == KeyPress && XLookupKeysym(&event.xkey, 0) == XK_Escape) {
      break;
    } else if (event.type == ClientMessage && (Atom)event.xclient.data.l[0] == delete_window) {
      break;
    }
  }
  XDestroyImage(image); /* frees the pixels too */
  XCloseDisplay(display);
  return 0;
}
