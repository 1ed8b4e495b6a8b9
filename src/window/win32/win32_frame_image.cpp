#include "window/win32/win32_frame_image.h"

#include <cstring>

namespace portico {

std::unique_ptr<Win32FrameImage> Win32FrameImage::Create(int width, int height) {
  std::unique_ptr<Win32FrameImage> image(new Win32FrameImage(width, height));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, like the frame
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  image->dc_ = CreateCompatibleDC(nullptr);
  if (!image->dc_) return nullptr;
  void* bits = nullptr;
  image->bitmap_ = CreateDIBSection(image->dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!image->bitmap_ || !bits) return nullptr;
  image->pixels_ = static_cast<uint32_t*>(bits);
  image->previous_ = SelectObject(image->dc_, image->bitmap_);
  return image;
}

Win32FrameImage::~Win32FrameImage() {
  if (dc_ && previous_) SelectObject(dc_, previous_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

void Win32FrameImage::Store(const TBitmap& frame, const TRect& r) {
  // GDI may still be drawing from the section.
  GdiFlush();
  const size_t row_bytes = size_t(r.Width()) * 4;
  for (int y = r.Top; y < r.Bottom; ++y)
    std::memcpy(pixels_ + size_t(y) * size_t(width_) + size_t(r.Left), frame.Row(y) + r.Left, row_bytes);
}

void Win32FrameImage::Put(HDC target, const TRect& r) const {
  BitBlt(target, r.Left, r.Top, r.Width(), r.Height(), dc_, r.Left, r.Top, SRCCOPY);
}

}  // namespace portico
