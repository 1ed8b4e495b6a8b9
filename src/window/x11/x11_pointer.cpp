// Pointer and focus queries, read from the server at the moment of the call.
#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

#include <map>

#include "window/x11/x11_backend.h"
#include "window/x11/x11_error_trap.h"

namespace portico {

namespace {
// Deeper than any window manager nests its frames.
constexpr int MaxDepth = 64;

// Whether (x, y) lies in one of the rectangles.
bool InRects(const std::vector<TRect>& rects, int x, int y) {
  for (const TRect& r : rects)
    if (r.Contains(x, y)) return true;
  return false;
}
}  // namespace

bool X11WindowSystem::CursorPos(TPoint& screen) {
  FinishPendingShows();
  if (event_pointer_) {
    screen = event_pointer_->Root;
    return true;
  }
  Window root = None, child = None;
  int root_x = 0, root_y = 0, x = 0, y = 0;
  unsigned mask = 0;
  if (!XQueryPointer(display_, root_, &root, &child, &root_x, &root_y, &x, &y, &mask)) return false;
  screen = TPoint{root_x, root_y};
  return true;
}

bool X11WindowSystem::PrimaryButtonDown() {
  FinishPendingShows();
  if (event_pointer_) return event_pointer_->PrimaryDown;
  Window root = None, child = None;
  int root_x = 0, root_y = 0, x = 0, y = 0;
  unsigned mask = 0;
  // The server's button 1 already follows a left-handed mapping.
  XQueryPointer(display_, root_, &root, &child, &root_x, &root_y, &x, &y, &mask);
  return (mask & Button1Mask) != 0;
}

Window X11WindowSystem::TopLevelAncestor(Window window) {
  for (int depth = 0; depth < MaxDepth && window != None && window != root_; ++depth) {
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return None;
    if (children) XFree(children);
    if (parent == root_ || parent == None) return window;
    window = parent;
  }
  return None;
}

WindowHandle X11WindowSystem::ForegroundWindow() {
  FinishPendingShows();
  X11ErrorTrap trap(display_);
  // The keyboard focus first: inside one of ours it is the answer, and it
  // changes before a window manager gets round to announcing it.
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  Window top = focus == PointerRoot ? None : focus;
  // The focus may sit in a child or in a window manager's frame.
  for (int depth = 0; depth < MaxDepth && top != None; ++depth) {
    if (Find(top)) return static_cast<WindowHandle>(top);
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, top, &root, &parent, &children, &count)) break;
    if (children) XFree(children);
    if (parent == root_ || parent == None) break;
    top = parent;
  }
  if (top != None)
    for (auto& [ours, w] : windows_)
      if (w.Mapped && TopLevelAncestor(ours) == top) return static_cast<WindowHandle>(ours);

  // Elsewhere the window manager knows better which window is active
  // (the focus may be on one of its own helper windows).
  if (WmSupports(atoms_.NetActiveWindow)) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window active = None;
    if (XGetWindowProperty(display_, root_, atoms_.NetActiveWindow, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data && type == XA_WINDOW && format == 32 && count == 1)
      active = static_cast<Window>(*reinterpret_cast<const unsigned long*>(data));
    if (data) XFree(data);
    return static_cast<WindowHandle>(active);
  }
  if (focus == PointerRoot) return static_cast<WindowHandle>(root_);
  return static_cast<WindowHandle>(top);
}

X11WindowSystem::Hit X11WindowSystem::HitOurWindow(Window window, const TopLevel& w, TPoint p) {
  int x = 0, y = 0;
  Window child = None;
  if (!XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child)) return Hit::Outside;
  x = p.X - x;
  y = p.Y - y;
  if (!TRect{0, 0, w.Width, w.Height}.Contains(x, y)) return Hit::Outside;
  if (w.Shape && !InRects(*w.Shape, x, y)) return Hit::CutAway;
  return Hit::Shape;
}

bool X11WindowSystem::InBoundingShape(Window window, int x, int y) {
  if (!has_shape_) return true;
  int count = 0, ordering = 0;
  XRectangle* rects = XShapeGetRectangles(display_, window, ShapeBounding, &count, &ordering);
  // An unshaped window reports its plain rectangle; a failed query
  // (the window vanished) counts as a hit, found gone by the caller's trap.
  if (!rects) return count == 0;
  bool inside = false;
  for (int i = 0; i < count && !inside; ++i)
    inside = TRect{rects[i].x, rects[i].y, rects[i].x + rects[i].width, rects[i].y + rects[i].height}
                 .Contains(x, y);
  XFree(rects);
  return inside;
}

WindowHandle X11WindowSystem::WindowFromPoint(TPoint p) {
  FinishPendingShows();
  X11ErrorTrap trap(display_);
  {
    // The server's own answer first: when the pointer is at p and the
    // server names no window under it, nothing of ours is there. XWayland
    // answers so while the pointer is over a Wayland surface, with the
    // last coordinates it saw inside our window.
    Window root = None, child = None;
    int root_x = 0, root_y = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (XQueryPointer(display_, root_, &root, &child, &root_x, &root_y, &x, &y, &mask) &&
        TPoint{root_x, root_y} == p && child == None)
      return static_cast<WindowHandle>(root_);
  }
  // The root child (frame or the window itself) holding each mapped window of ours.
  std::map<Window, Window> ours_by_top;
  for (auto& [window, w] : windows_)
    if (w.Mapped)
      if (Window top = TopLevelAncestor(window)) ours_by_top[top] = window;

  Window root = None, parent = None, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display_, root_, &root, &parent, &children, &count)) return static_cast<WindowHandle>(root_);
  Window result = root_;
  // Children come bottom to top in stacking order.
  for (unsigned i = count; i-- > 0;) {
    const Window c = children[i];
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display_, c, &a) || a.map_state != IsViewable || a.c_class == InputOnly) continue;
    const int bw = a.border_width;
    if (!TRect{a.x, a.y, a.x + a.width + 2 * bw, a.y + a.height + 2 * bw}.Contains(p)) continue;
    auto ours = ours_by_top.find(c);
    if (ours != ours_by_top.end()) {
      const TopLevel* w = Find(ours->second);
      const Hit hit = w ? HitOurWindow(ours->second, *w, p) : Hit::Outside;
      if (hit == Hit::Shape) {
        result = ours->second;
        break;
      }
      // Through a cut-away part the user sees what lies below.
      if (hit == Hit::CutAway) continue;
    }
    // Shape rectangles are relative to the inside corner of the border.
    if (!InBoundingShape(c, p.X - a.x - bw, p.Y - a.y - bw)) continue;
    result = c;
    break;
  }
  if (children) XFree(children);
  return static_cast<WindowHandle>(result);
}

}  // namespace portico
