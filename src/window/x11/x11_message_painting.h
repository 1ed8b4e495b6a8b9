// How the message window is laid out and drawn: its text, wrapped, and an
// OK button. The text is written with the application's faces
// (MessageTextPainter), so any script shows; the core X font, in Latin-1,
// only when those have no face at all.
#pragma once
#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/types.h"
#include "window/window_system.h"
#include "window/x11/x11_pixel_format.h"

namespace portico {

// Where the message window is shown.
struct X11MessageDisplay {
  Display* Connection = nullptr;
  int Screen = 0;
  Visual* WindowVisual = nullptr;
  X11PixelFormat Format;
};

class X11MessagePainting {
 public:
  // `text` laid out for a window on `monitor` at `scale`, with `painter`
  // (may be null); null when there is no font at all.
  static std::unique_ptr<X11MessagePainting> Create(const X11MessageDisplay& display, MessageTextPainter* painter,
                                                    const std::string& text, TRect monitor, int scale);
  virtual ~X11MessagePainting() = default;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The OK button, in window coordinates.
  const TRect& Button() const { return button_; }
  // Draws the whole window, the button pressed or not.
  virtual void Draw(Window window, GC gc, bool pressed) = 0;

 protected:
  static constexpr uint32_t Background = 0xF0F0F0;
  static constexpr uint32_t ButtonFace = 0xE0E0E0;
  static constexpr uint32_t ButtonPressed = 0xC0C0C0;
  static constexpr uint32_t Ink = 0x000000;

  // Wraps `text` (clean UTF-8) with `width` and places the lines and the
  // button so that the window fits on `monitor`.
  void LayOut(const std::string& text, TRect monitor, int scale, int line_height,
              const std::function<int(const std::string&)>& width);
  int TextLeft() const { return margin_; }
  int LineTop(size_t line) const { return margin_ + static_cast<int>(line) * line_height_; }

  std::vector<std::string> lines_;
  int line_height_ = 1;
  int margin_ = 0;
  int width_ = 0;
  int height_ = 0;
  TRect button_;
  int scale_ = 1;
};

}  // namespace portico
