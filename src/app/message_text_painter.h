// The text of message windows that the window system draws itself (X11),
// written with the caption faces: the default face and, for characters it
// lacks, the fallback faces, so that a file name in any script shows.
#pragma once
#include <string>

#include "window/window_system.h"

namespace portico {

class TMessageTextPainter final : public MessageTextPainter {
 public:
  int LineHeight(int scale) override;
  int LineWidth(const std::string& line, int scale) override;
  void DrawLine(TBitmap& target, const std::string& line, int x, int y, int scale) override;
};

}  // namespace portico
