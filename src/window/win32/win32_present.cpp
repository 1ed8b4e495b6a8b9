// Frame hand-over: the changed rectangles go into the window's frame copy
// and from there to the window (a layered one's blended picture); WM_PAINT
// repaints from the copy.
#include <algorithm>
#include <cstdio>

#include "window/win32/win32_backend.h"

namespace portico {

void Win32WindowSystem::Present(WindowHandle handle, const TBitmap& frame, const std::vector<TRect>& changed) {
  HWND window = reinterpret_cast<HWND>(handle);
  TopLevel* w = Find(window);
  if (!w || frame.Empty()) return;
  const TRect bounds = frame.BoundsRect();

  std::vector<TRect> send;
  const bool new_image = !w->Image || w->Image->Width() != frame.Width() || w->Image->Height() != frame.Height();
  if (new_image) {
    // A new size: a new copy, and all of it goes.
    w->Image.reset();
    w->Image = Win32FrameImage::Create(frame.Width(), frame.Height());
    if (!w->Image) {
      std::fprintf(stderr, "portico: no memory for a %dx%d window image\n", frame.Width(), frame.Height());
      return;
    }
    send.push_back(bounds);
  } else {
    for (const TRect& r : changed) {
      const TRect clipped = IntersectRect(r, bounds);
      if (!clipped.IsEmpty()) send.push_back(clipped);
    }
  }
  for (const TRect& r : send) w->Image->Store(frame, r);
  if (send.empty()) return;
  // A layered window takes its picture shown or not, and never paints.
  if (w->Opacity && ShowBlended(window, *w, new_image ? nullptr : &send)) return;
  if (!w->Shown) return;
  HDC dc = GetDC(window);
  if (!dc) return;
  for (const TRect& r : send) w->Image->Put(dc, r);
  ReleaseDC(window, dc);
  // A smaller frame than the window leaves stale pixels outside it.
  if (send.size() == 1 && send[0] == bounds && (frame.Width() < w->Width || frame.Height() < w->Height))
    InvalidateRect(window, nullptr, FALSE);
}

void Win32WindowSystem::Paint(HWND window, TopLevel& w) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(window, &ps);
  if (!dc) return;
  const TRect area{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom};
  const int image_right = w.Image ? w.Image->Width() : 0, image_bottom = w.Image ? w.Image->Height() : 0;
  const TRect image_area = IntersectRect(area, TRect{0, 0, image_right, image_bottom});
  if (!image_area.IsEmpty()) w.Image->Put(dc, image_area);
  // Parts of the window no frame covers are black.
  const TRect right = IntersectRect(area, TRect{image_right, 0, w.Width, w.Height});
  const TRect below = IntersectRect(area, TRect{0, image_bottom, std::min(image_right, w.Width), w.Height});
  for (const TRect& r : {right, below}) {
    if (r.IsEmpty()) continue;
    RECT fill{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(dc, &fill, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  EndPaint(window, &ps);
}

}  // namespace portico
