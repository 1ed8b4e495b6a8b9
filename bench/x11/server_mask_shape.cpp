// Shaping an unmapped window on the X server from a 1-bit mask or from
// rectangles, each call waiting for the server to finish.
#include "x11/server_mask_shape.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <cstdlib>

namespace portico {

struct ServerMaskShape::Connection {
  Display* display = nullptr;
  Window window = 0;
  ~Connection() {
    if (!display) return;
    if (window) XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
};

ServerMaskShape::ServerMaskShape() = default;
ServerMaskShape::~ServerMaskShape() = default;

bool ServerMaskShape::Open(int width, int height) {
  conn_.reset();
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
  // XOpenDisplay would fall back to nothing useful without DISPLAY; say no early.
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  auto conn = std::make_unique<Connection>();
  conn->display = XOpenDisplay(nullptr);
  if (!conn->display) return false;
  int event_base = 0, error_base = 0;
  if (!XShapeQueryExtension(conn->display, &event_base, &error_base)) return false;
  Display* d = conn->display;
  conn->window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, static_cast<unsigned>(width),
                                     static_cast<unsigned>(height), 0, 0, 0);
  XSync(d, False);
  conn_ = std::move(conn);
  return true;
}

bool ServerMaskShape::ApplyMask(std::span<const uint8_t> bits, int width, int height) {
  if (!conn_ || width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
  const uint64_t needed = static_cast<uint64_t>((width + 7) / 8) * static_cast<uint64_t>(height);
  if (bits.size() < needed) return false;
  Display* d = conn_->display;
  // XCreateBitmapFromData reads rows padded to bytes, least significant bit first.
  Pixmap pixmap = XCreateBitmapFromData(d, conn_->window,
                                        reinterpret_cast<const char*>(bits.data()),
                                        static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (!pixmap) return false;
  XShapeCombineMask(d, conn_->window, ShapeBounding, 0, 0, pixmap, ShapeSet);
  XFreePixmap(d, pixmap);
  XSync(d, False);
  return true;
}

bool ServerMaskShape::ApplyRects(const std::vector<TRect>& rects) {
  if (!conn_) return false;
  std::vector<XRectangle> xrects;
  xrects.reserve(rects.size());
  for (const TRect& r : rects) {
    // X rectangles hold 16-bit coordinates; anything past them is off any screen.
    if (r.IsEmpty() || r.Left < 0 || r.Top < 0 || r.Right > 32767 || r.Bottom > 32767) continue;
    xrects.push_back(XRectangle{static_cast<short>(r.Left), static_cast<short>(r.Top),
                                static_cast<unsigned short>(r.Width()),
                                static_cast<unsigned short>(r.Height())});
  }
  // YXBanded: our rows come top-down, runs left to right, one row high.
  XShapeCombineRectangles(conn_->display, conn_->window, ShapeBounding, 0, 0, xrects.data(),
                          static_cast<int>(xrects.size()), ShapeSet, YXBanded);
  XSync(conn_->display, False);
  return true;
}

bool ShapeWindowFromMaskOnServer(std::span<const uint8_t> bits, int width, int height) {
  ServerMaskShape shape;
  return shape.Open(width, height) && shape.ApplyMask(bits, width, height);
}

}  // namespace portico
