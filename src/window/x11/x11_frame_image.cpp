#include "window/x11/x11_frame_image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "system/memory_pages.h"
#include "window/x11/x11_error_trap.h"

namespace portico {

namespace {
// Bytes of a bytes_per_line x height image, or 0 when it is absurd.
size_t ImageBytes(const XImage* image) {
  const int64_t bytes = int64_t{image->bytes_per_line} * image->height;
  if (image->bytes_per_line <= 0 || image->height <= 0 || bytes > (int64_t{1} << 32)) return 0;
  return static_cast<size_t>(bytes);
}
}  // namespace

std::unique_ptr<X11FrameImage> X11FrameImage::Create(Display* display, Visual* visual,
                                                     const X11PixelFormat& format, bool try_shared,
                                                     int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  std::unique_ptr<X11FrameImage> image(new X11FrameImage(display, format));
  if (!(try_shared && image->CreateShared(visual, width, height)) &&
      !image->CreatePlain(visual, width, height))
    return nullptr;
  // Rows are copied as words only when the image really holds words.
  if (image->image_->bits_per_pixel != 32) image->format_.Direct = false;
  return image;
}

bool X11FrameImage::CreateShared(Visual* visual, int width, int height) {
  XImage* image = XShmCreateImage(display_, visual, format_.Depth, ZPixmap, nullptr, &segment_,
                                  width, height);
  if (!image) return false;
  const size_t bytes = ImageBytes(image);
  segment_.shmid = bytes ? shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600) : -1;
  if (segment_.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  void* memory = shmat(segment_.shmid, nullptr, 0);
  if (memory == reinterpret_cast<void*>(-1)) {
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return false;
  }
  segment_.shmaddr = image->data = static_cast<char*>(memory);
  segment_.readOnly = False;
  bool attached = false;
  {
    // The attach fails on servers that cannot reach our memory (another
    // machine, another IPC namespace) although the extension is present.
    X11ErrorTrap trap(display_);
    attached = XShmAttach(display_, &segment_) && !trap.Failed();
  }
  // Marked for removal now: the segment goes away with its last user even
  // if we crash.
  shmctl(segment_.shmid, IPC_RMID, nullptr);
  if (!attached) {
    shmdt(segment_.shmaddr);
    XDestroyImage(image);
    segment_ = {};
    return false;
  }
  // A new segment reads as zero (black). Making all its pages at once
  // costs less than meeting them one fault at a time; where the kernel
  // cannot, writing the zeros makes them.
  if (!PrepareForWriting(image->data, bytes)) std::memset(image->data, 0, bytes);
  image_ = image;
  shared_ = true;
  return true;
}

bool X11FrameImage::CreatePlain(Visual* visual, int width, int height) {
  XImage* image = XCreateImage(display_, visual, format_.Depth, ZPixmap, 0, nullptr, width, height, 32, 0);
  if (!image) return false;
  const size_t bytes = ImageBytes(image);
  image->data = bytes ? static_cast<char*>(std::calloc(bytes, 1)) : nullptr;
  if (!image->data) {
    XDestroyImage(image);
    return false;
  }
  image_ = image;
  return true;
}

X11FrameImage::~X11FrameImage() {
  if (!image_) return;
  if (shared_) {
    XShmDetach(display_, &segment_);
    // The server must let go of the segment before we unmap it.
    XSync(display_, False);
    XDestroyImage(image_);  // leaves the shared data alone
    shmdt(segment_.shmaddr);
  } else {
    XDestroyImage(image_);  // frees the calloc'd data
  }
}

void X11FrameImage::Store(const TBitmap& frame, const TRect& r, const TAlphaMap* alpha) {
  if (put_pending_) {
    // The server reads shared memory when it executes the put: wait for
    // it before writing over the pixels it may still be reading.
    XSync(display_, False);
    put_pending_ = false;
  }
  const size_t width = static_cast<size_t>(r.Width());
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    const uint32_t* src = frame.Row(y) + r.Left;
    if (alpha) {
      const uint8_t* opacity = alpha->Values.data() + size_t(y) * size_t(alpha->Width) + size_t(r.Left);
      if (format_.Direct) {
        auto* dst = reinterpret_cast<uint32_t*>(image_->data + size_t(y) * size_t(image_->bytes_per_line)) +
                    r.Left;
        for (size_t i = 0; i < width; ++i) dst[i] = format_.ConvertTranslucent(src[i], opacity[i]);
      } else {
        for (size_t i = 0; i < width; ++i)
          XPutPixel(image_, r.Left + static_cast<int>(i), y, format_.ConvertTranslucent(src[i], opacity[i]));
      }
    } else if (format_.Direct) {
      auto* dst = reinterpret_cast<uint32_t*>(image_->data + size_t(y) * size_t(image_->bytes_per_line)) +
                  r.Left;
      if (format_.Fill == 0) {
        std::memcpy(dst, src, width * sizeof(uint32_t));
      } else {
        for (size_t i = 0; i < width; ++i) dst[i] = src[i] | format_.Fill;
      }
    } else {
      for (size_t i = 0; i < width; ++i)
        XPutPixel(image_, r.Left + static_cast<int>(i), y, format_.Convert(src[i]));
    }
  }
}

size_t X11FrameImage::Put(Drawable target, GC gc, const TRect& r) {
  const unsigned w = static_cast<unsigned>(r.Width()), h = static_cast<unsigned>(r.Height());
  if (shared_) {
    XShmPutImage(display_, target, gc, image_, r.Left, r.Top, r.Left, r.Top, w, h, False);
    put_pending_ = true;
  } else {
    XPutImage(display_, target, gc, image_, r.Left, r.Top, r.Left, r.Top, w, h);
  }
  return size_t{w} * h * static_cast<size_t>(image_->bits_per_pixel / 8);
}

size_t X11FrameImage::PutWhole(Display* display, Visual* visual, const X11PixelFormat& format,
                               Drawable target, GC gc, const TBitmap& frame, int width, int height) {
  if (!format.Direct || format.Fill != 0 || frame.Sparse() || width <= 0 || height <= 0 ||
      width > frame.Width() || height > frame.Height())
    return 0;
  // An image header over the frame's rows: Xlib only reads them.
  XImage* image = XCreateImage(display, visual, format.Depth, ZPixmap, 0,
                               reinterpret_cast<char*>(const_cast<uint32_t*>(frame.Row(0))),
                               static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                               frame.Width() * static_cast<int>(sizeof(uint32_t)));
  if (!image) return 0;
  if (image->bits_per_pixel != 32) {
    image->data = nullptr;
    XDestroyImage(image);
    return 0;
  }
  XPutImage(display, target, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
  image->data = nullptr;  // the frame's, not the image's to free
  XDestroyImage(image);
  return size_t(width) * size_t(height) * sizeof(uint32_t);
}

}  // namespace portico
