// What the desktop around our windows is like: its primary monitor and
// its scale factor. Each is asked for when first needed and kept: a
// window is centred once, and the scale counts from the start.
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <optional>

#include "window/x11/x11_backend.h"
#include "window/x11/x11_xft_dpi.h"

namespace portico {

namespace {

std::optional<TRect> Bounds(int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  return TRect{x, y, x + width, y + height};
}

// RandR 1.5's primary monitor, else its first one; none without RandR 1.5
// or without a monitor that shows anything.
std::optional<TRect> RandrMonitor(Display* display, Window root) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &event_base, &error_base) || !XRRQueryVersion(display, &major, &minor) ||
      major < 1 || (major == 1 && minor < 5))
    return std::nullopt;
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
  if (!monitors) return std::nullopt;
  std::optional<TRect> first, primary;
  for (int i = 0; i < count && !primary; ++i) {
    const XRRMonitorInfo& m = monitors[i];
    const std::optional<TRect> bounds = Bounds(m.x, m.y, m.width, m.height);
    if (!bounds) continue;
    if (m.primary) primary = bounds;
    if (!first) first = bounds;
  }
  XRRFreeMonitors(monitors);
  return primary ? primary : first;
}

// Xinerama's first head; none when Xinerama is missing or inactive (it
// then lists no heads).
std::optional<TRect> XineramaHead(Display* display) {
  int event_base = 0, error_base = 0;
  if (!XineramaQueryExtension(display, &event_base, &error_base)) return std::nullopt;
  int count = 0;
  XineramaScreenInfo* heads = XineramaQueryScreens(display, &count);
  if (!heads) return std::nullopt;
  std::optional<TRect> first;
  for (int i = 0; i < count && !first; ++i)
    first = Bounds(heads[i].x_org, heads[i].y_org, heads[i].width, heads[i].height);
  XFree(heads);
  return first;
}

}  // namespace

TRect X11WindowSystem::PrimaryMonitor() {
  if (!primary_monitor_) {
    primary_monitor_ = RandrMonitor(display_, root_);
    if (!primary_monitor_) primary_monitor_ = XineramaHead(display_);
    if (!primary_monitor_) {
      const TPoint size = ScreenSize();
      primary_monitor_ = TRect{0, 0, size.X, size.Y};
    }
  }
  return *primary_monitor_;
}

int X11WindowSystem::ScaleFactor() {
  // Xlib fetched the root window's resources when it opened the display.
  if (scale_factor_ == 0) {
    const char* resources = XResourceManagerString(display_);
    scale_factor_ = ScaleFactorForDpi(resources ? XftDpiFromResources(resources) : 0);
  }
  return scale_factor_;
}

}  // namespace portico
