// Window shapes through the X Shape extension: the bounding shape cuts
// what is drawn, the input shape lets clicks through the cut-away parts.
#include <X11/extensions/shape.h>

#include <algorithm>

#include "window/x11/x11_backend.h"

namespace portico {

namespace {
// Rectangles per request: keeps each request far below the server's limit
// however many rectangles a shape has.
constexpr size_t RectanglesPerRequest = 8192;

// The rectangle in X's 16-bit form, clipped; false when nothing is left.
bool ToXRectangle(const TRect& r, XRectangle& out) {
  const int32_t left = std::clamp(r.Left, 0, 32767), top = std::clamp(r.Top, 0, 32767);
  const int32_t right = std::clamp(r.Right, 0, 32767), bottom = std::clamp(r.Bottom, 0, 32767);
  if (right <= left || bottom <= top) return false;
  out = XRectangle{static_cast<short>(left), static_cast<short>(top), static_cast<unsigned short>(right - left),
                   static_cast<unsigned short>(bottom - top)};
  return true;
}
}  // namespace

bool X11WindowSystem::SetShape(WindowHandle handle, const std::vector<TRect>* rects) {
  FinishPendingShows();
  const Window window = static_cast<Window>(handle);
  TopLevel* w = Find(window);
  if (!w || !has_shape_) return false;
  std::vector<int> kinds{ShapeBounding};
  if (has_input_shape_) kinds.push_back(ShapeInput);

  if (!rects) {
    for (int kind : kinds) XShapeCombineMask(display_, window, kind, 0, 0, None, ShapeSet);
    w->Shape.reset();
    if (!w->OwnOpacity && w->Opacity) {
      w->Opacity.reset();
      w->Image.reset();
    }
    XFlush(display_);
    return true;
  }
  std::vector<XRectangle> xrects;
  xrects.reserve(rects->size());
  for (const TRect& r : *rects) {
    XRectangle x;
    if (ToXRectangle(r, x)) xrects.push_back(x);
  }
  for (int kind : kinds) {
    // Set with the first batch (an empty set for no rectangles), add the rest.
    size_t first = std::min(xrects.size(), RectanglesPerRequest);
    XShapeCombineRectangles(display_, window, kind, 0, 0, xrects.data(), static_cast<int>(first), ShapeSet,
                            Unsorted);
    for (size_t i = first; i < xrects.size(); i += RectanglesPerRequest) {
      size_t n = std::min(xrects.size() - i, RectanglesPerRequest);
      XShapeCombineRectangles(display_, window, kind, 0, 0, xrects.data() + i, static_cast<int>(n), ShapeUnion,
                              Unsorted);
    }
  }
  w->Shape = *rects;
  if (compositing_ && !w->OwnOpacity) {
    // Made anew from the shape at the next hand-over; pixels already sent
    // carry the old opacity, so that hand-over sends all.
    w->Opacity.reset();
    w->Image.reset();
  }
  XFlush(display_);
  return true;
}

TAlphaMap X11WindowSystem::OpacityFromShape(const std::vector<TRect>& shape, int width, int height) {
  // Compositors draw the whole window, cut-away parts too (XWayland
  // ignores the shape): those parts must be transparent.
  TAlphaMap alpha{width, height, std::vector<uint8_t>(size_t(width) * size_t(height), 0)};
  for (const TRect& r : shape) {
    const TRect c = IntersectRect(r, TRect{0, 0, width, height});
    for (int32_t y = c.Top; y < c.Bottom; ++y)
      std::fill_n(alpha.Values.begin() + ptrdiff_t(y) * width + c.Left, c.Width(), uint8_t{255});
  }
  return alpha;
}

bool X11WindowSystem::SetOpacity(WindowHandle handle, const TAlphaMap* alpha) {
  FinishPendingShows();
  TopLevel* w = Find(static_cast<Window>(handle));
  if (!w || !compositing_) return false;
  if (!alpha) {
    w->Opacity.reset();
    w->OwnOpacity = false;
  } else {
    if (alpha->Width < 0 || alpha->Height < 0 ||
        alpha->Values.size() != size_t(alpha->Width) * size_t(alpha->Height))
      return false;
    w->Opacity = *alpha;
    w->OwnOpacity = true;
  }
  w->Image.reset();
  return true;
}

}  // namespace portico
