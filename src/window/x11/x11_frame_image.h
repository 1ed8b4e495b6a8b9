// The backend's copy of the last frame handed to one window, in the
// visual's pixel format, and the sending of its rectangles to the server
// (through shared memory when the server is local and allows it).
#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstddef>
#include <memory>

#include "graphics/bitmap.h"
#include "window/x11/x11_pixel_format.h"

namespace portico {

class X11FrameImage {
 public:
  // A black width x height image; null when memory or the server refuse.
  static std::unique_ptr<X11FrameImage> Create(Display* display, Visual* visual,
                                               const X11PixelFormat& format, bool try_shared,
                                               int width, int height);
  ~X11FrameImage();
  X11FrameImage(const X11FrameImage&) = delete;
  X11FrameImage& operator=(const X11FrameImage&) = delete;

  int Width() const { return image_->width; }
  int Height() const { return image_->height; }
  bool Shared() const { return shared_; }

  // Converts rectangle r of `frame` into the image; r lies inside both.
  // With `alpha` (at least as large as r reaches) each pixel takes its
  // opacity from there.
  void Store(const TBitmap& frame, const TRect& r, const TAlphaMap* alpha = nullptr);
  // Sends rectangle r (inside the image) to the same place in `target`;
  // returns the pixel bytes handed over.
  size_t Put(Drawable target, GC gc, const TRect& r);

  // Sends the top-left width x height of a dense `frame` to `target`
  // straight from the frame's own pixels, with no copy made: only when
  // each frame word is the pixel value itself (format.Direct, no Fill).
  // Returns the pixel bytes handed over, 0 when it cannot.
  static size_t PutWhole(Display* display, Visual* visual, const X11PixelFormat& format, Drawable target,
                         GC gc, const TBitmap& frame, int width, int height);

 private:
  X11FrameImage(Display* display, const X11PixelFormat& format) : display_(display), format_(format) {}
  bool CreateShared(Visual* visual, int width, int height);
  bool CreatePlain(Visual* visual, int width, int height);

  Display* display_;
  X11PixelFormat format_;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_{};
  bool shared_ = false;
  // A shared-memory put may still be reading the segment.
  bool put_pending_ = false;
};

}  // namespace portico
