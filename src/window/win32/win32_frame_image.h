// The backend's copy of the last frame handed to one window: a 32-bit DIB
// section in a memory DC, from which hand-overs and repaints are copied.
// A layered window's blended picture is one too.
#pragma once
#include "system/win32/win32_windows.h"

#include <memory>

#include "graphics/bitmap.h"

namespace portico {

class Win32FrameImage {
 public:
  // A black width x height image; null when memory or GDI refuse.
  static std::unique_ptr<Win32FrameImage> Create(int width, int height);
  ~Win32FrameImage();
  Win32FrameImage(const Win32FrameImage&) = delete;
  Win32FrameImage& operator=(const Win32FrameImage&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Copies rectangle r of `frame` into the image; r lies inside both.
  void Store(const TBitmap& frame, const TRect& r);
  // Copies rectangle r (inside the image) to the same place in `target`.
  void Put(HDC target, const TRect& r) const;

  // Row y's pixels, for whoever fills the image another way (GdiFlush first).
  uint32_t* Row(int y) { return pixels_ + size_t(y) * size_t(width_); }
  const uint32_t* Row(int y) const { return pixels_ + size_t(y) * size_t(width_); }
  // The memory DC the image is selected into.
  HDC Dc() const { return dc_; }

 private:
  Win32FrameImage(int width, int height) : width_(width), height_(height) {}

  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* pixels_ = nullptr;  // rows top-down, 0x00RRGGBB like the frame
};

}  // namespace portico
