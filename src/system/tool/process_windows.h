// The top-level windows of other processes, for the tool that runs the
// launcher and keeps its window where the user left it across restarts.
// Each window system implements it (x11/x11_process_windows.cpp,
// win32/win32_process_windows.cpp).
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "system/tool/child_process.h"
#include "graphics/types.h"

namespace portico {

class TProcessWindows {
 public:
  // Connects to the window system; null when there is none (no display).
  static std::unique_ptr<TProcessWindows> Open();
  virtual ~TProcessWindows() = default;

  // Where the client area of the visible top-level window titled `title`
  // that process `pid` shows lies on the screen; none while it shows none.
  virtual std::optional<TPoint> WindowPosition(TProcessId pid, const std::string& title) = 0;
  // Moves that window's client area to `position`; false without one.
  virtual bool MoveWindow(TProcessId pid, const std::string& title, TPoint position) = 0;

  // Where the pointer is relative to that window's client area (which
  // it may lie outside of), and the client area's size; none without the
  // window, or where the window system does not tell.
  struct TPointerOver {
    TPoint At;
    TPoint Size;
  };
  virtual std::optional<TPointerOver> PointerOver(TProcessId pid, const std::string& title) = 0;
};

}  // namespace portico
