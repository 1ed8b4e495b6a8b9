#include "window/x11/x11_pixel_format.h"

#include <bit>

namespace portico {

X11PixelFormat X11PixelFormat::For(Display* display, const Visual* visual, int depth) {
  X11PixelFormat f;
  f.Depth = depth;
  int count = 0;
  if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
    for (int i = 0; i < count; ++i)
      if (formats[i].depth == depth) f.BitsPerPixel = formats[i].bits_per_pixel;
    XFree(formats);
  }
  f.red_ = ChannelOf(visual->red_mask);
  f.green_ = ChannelOf(visual->green_mask);
  f.blue_ = ChannelOf(visual->blue_mask);
  const unsigned long rgb = visual->red_mask | visual->green_mask | visual->blue_mask;
  if (depth == 32) {
    f.Fill = ~static_cast<uint32_t>(rgb);
    f.alpha_ = ChannelOf(f.Fill);
  }
  const bool native_order =
      ImageByteOrder(display) == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
  f.Direct = f.BitsPerPixel == 32 && native_order && visual->red_mask == 0xFF0000 &&
             visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
  return f;
}

X11PixelFormat::Channel X11PixelFormat::ChannelOf(unsigned long mask) {
  Channel c;
  if (mask == 0) return c;
  c.Shift = std::countr_zero(mask);
  c.Bits = std::countr_one(mask >> c.Shift);
  return c;
}

uint32_t X11PixelFormat::Scale(uint32_t value8, Channel c) {
  if (c.Bits == 0) return 0;
  // Keep the top bits of the 8-bit value; wider channels repeat them.
  uint32_t v = c.Bits <= 8    ? value8 >> (8 - c.Bits)
               : c.Bits <= 16 ? (value8 << (c.Bits - 8)) | (value8 >> (16 - c.Bits))
                              : value8 << (c.Bits - 8);
  return v << c.Shift;
}

uint32_t X11PixelFormat::ConvertRgb(uint32_t rgb) const {
  if (Direct) return rgb & 0xFFFFFF;
  return Scale((rgb >> 16) & 0xFF, red_) | Scale((rgb >> 8) & 0xFF, green_) | Scale(rgb & 0xFF, blue_);
}

uint32_t X11PixelFormat::Convert(uint32_t rgb) const { return ConvertRgb(rgb) | Fill; }

uint32_t X11PixelFormat::ConvertTranslucent(uint32_t rgb, uint8_t alpha) const {
  if (alpha == 255 || !HasAlpha()) return Convert(rgb);
  const uint32_t a = alpha;
  // Rounded c * a / 255 for each channel.
  auto times_alpha = [a](uint32_t c) {
    const uint32_t t = c * a + 128;
    return (t + (t >> 8)) >> 8;
  };
  const uint32_t premultiplied = (times_alpha((rgb >> 16) & 0xFF) << 16) |
                                 (times_alpha((rgb >> 8) & 0xFF) << 8) | times_alpha(rgb & 0xFF);
  return ConvertRgb(premultiplied) | Scale(a, alpha_);
}

}  // namespace portico
