// How 0x00RRGGBB frame pixels become pixel values of a true-colour visual.
#pragma once
#include <X11/Xlib.h>

#include <cstdint>

namespace portico {

struct X11PixelFormat {
  int Depth = 24;
  int BitsPerPixel = 32;
  // Bits set in every pixel: the alpha channel of a 32-bit visual, so that
  // a compositor shows the window opaque.
  uint32_t Fill = 0;
  // True when the frame word (with Fill) is the pixel value itself and
  // images hold native 32-bit words: rows are copied as they are.
  bool Direct = false;

  // Describes `visual` at `depth` on `display`.
  static X11PixelFormat For(Display* display, const Visual* visual, int depth);
  // The pixel value of a 0x00RRGGBB colour.
  uint32_t Convert(uint32_t rgb) const;
  // The pixel value of a 0x00RRGGBB colour at opacity `alpha` (0 ... 255):
  // premultiplied, with the alpha bits set, as compositors read a 32-bit
  // visual. Without an alpha channel the colour is opaque.
  uint32_t ConvertTranslucent(uint32_t rgb, uint8_t alpha) const;
  // Whether the visual has bits for opacity.
  bool HasAlpha() const { return alpha_.Bits > 0; }

 private:
  struct Channel {
    int Shift = 0;  // position of the lowest bit of the mask
    int Bits = 0;   // width of the mask
  };
  static Channel ChannelOf(unsigned long mask);
  static uint32_t Scale(uint32_t value8, Channel c);
  uint32_t ConvertRgb(uint32_t rgb) const;
  Channel red_, green_, blue_, alpha_;
};

}  // namespace portico
