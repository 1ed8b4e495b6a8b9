// Shaping a window on the X server from a 1-bit mask: the way a window
// would be shaped without building a rectangle list, kept for measuring
// the two against each other. The header names no X type.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "graphics/types.h"

namespace portico {

// A display connection with one unmapped window whose shape is replaced.
class ServerMaskShape {
 public:
  ServerMaskShape();
  ~ServerMaskShape();
  ServerMaskShape(const ServerMaskShape&) = delete;
  ServerMaskShape& operator=(const ServerMaskShape&) = delete;

  // Connects to the display DISPLAY names and creates the window; false
  // when there is no display or the shape extension is missing.
  bool Open(int width, int height);

  // Sends a 1-bit mask (rows of (width + 7) / 8 bytes, least significant
  // bit first, 1 = window pixel) as a pixmap, combines it into the
  // window's shape and waits for the server. False when not open or the
  // bytes are too few.
  bool ApplyMask(std::span<const uint8_t> bits, int width, int height);

  // Sets the window's shape from rectangles and waits for the server.
  bool ApplyRects(const std::vector<TRect>& rects);

 private:
  struct Connection;
  std::unique_ptr<Connection> conn_;
};

// Shapes a fresh unmapped window on the default display from a 1-bit mask
// (laid out as for ServerMaskShape::ApplyMask); false when no display.
bool ShapeWindowFromMaskOnServer(std::span<const uint8_t> bits, int width, int height);

}  // namespace portico
