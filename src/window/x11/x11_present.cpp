// Frame hand-over: the changed rectangles go into the window's frame copy
// and from there to the server.
#include <algorithm>
#include <cstdio>

#include "window/x11/x11_backend.h"
#include "window/x11/x11_window_system.h"

namespace portico {

namespace {
size_t g_bytes_sent = 0;
// X coordinates are 16-bit: a frame beyond this is cut.
constexpr int32_t MaxSide = 32767;
}  // namespace

size_t X11BytesSentForTesting() { return g_bytes_sent; }

void X11WindowSystem::Present(WindowHandle handle, const TBitmap& frame, const std::vector<TRect>& changed) {
  const Window window = static_cast<Window>(handle);
  TopLevel* w = Find(window);
  if (!w || frame.Empty()) return;
  const int width = std::min(frame.Width(), MaxSide), height = std::min(frame.Height(), MaxSide);
  const TRect bounds{0, 0, width, height};

  std::vector<TRect> send;
  // A new size: a new copy, and all of it goes.
  const bool new_size = !w->Image || w->Image->Width() != width || w->Image->Height() != height;
  if (new_size) {
    w->Image.reset();
    w->WholeFrameDue = true;
  }
  if (w->WholeFrameDue) {
    send.push_back(bounds);
    w->WholeFrameDue = false;
  } else {
    for (const TRect& r : changed) {
      TRect clipped = IntersectRect(r, bounds);
      if (!clipped.IsEmpty()) send.push_back(clipped);
    }
  }
  if (compositing_ && !w->OwnOpacity && w->Shape &&
      (!w->Opacity || w->Opacity->Width != width || w->Opacity->Height != height)) {
    w->Opacity = OpacityFromShape(*w->Shape, width, height);
    send.assign(1, bounds);
  }
  // An opacity map that does not cover the frame is not used: opaque.
  const TAlphaMap* alpha = w->Opacity && w->Opacity->Width >= width && w->Opacity->Height >= height
                               ? &*w->Opacity
                               : nullptr;
  // A window just asked to map: its pixels are ready, now it must be there;
  // the focus is asked for once they are on their way.
  bool first_frame = false;
  size_t sent_whole = 0;
  if (new_size && !alpha) {
    // The frame's own pixels go as they are when the visual allows: the
    // window's copy (pages to make, a shared segment to attach) is made
    // once they are on their way, not before the first pixel.
    first_frame = FinishMap(window, *w);
    sent_whole = X11FrameImage::PutWhole(display_, visual_, format_, window, w->Gc, frame, width, height);
    if (sent_whole) XFlush(display_);
    g_bytes_sent += sent_whole;
  }
  if (new_size) {
    w->Image = X11FrameImage::Create(display_, visual_, format_, use_shm_, width, height);
    if (!w->Image) {
      std::fprintf(stderr, "portico: no memory for a %dx%d window image\n", width, height);
      if (first_frame) FocusNewWindow(window);
      return;
    }
  }
  for (const TRect& r : send) w->Image->Store(frame, r, alpha);
  if (!sent_whole) {
    // A failed straight put has finished the map already.
    first_frame |= FinishMap(window, *w);
    for (const TRect& r : send) g_bytes_sent += w->Image->Put(window, w->Gc, r);
  }
  // A smaller frame than before leaves stale pixels outside it.
  if (send.size() == 1 && send[0] == bounds && (width < w->Width || height < w->Height))
    Repaint(window, *w, TRect{0, 0, w->Width, w->Height});
  XFlush(display_);
  if (first_frame) FocusNewWindow(window);
}

}  // namespace portico
