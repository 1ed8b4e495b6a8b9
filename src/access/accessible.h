// What assistive technologies (screen readers) are told of the launcher's
// window, and the service that tells them: AT-SPI over D-Bus on Linux
// (access/atspi/), MSAA on Windows (access/msaa/), nothing elsewhere.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "graphics/types.h"
#include "window/window_system.h"

namespace portico {

enum class TAccessibleRole { PushButton, Link, Label };

// One control as it is announced.
struct TAccessibleControl {
  std::string Name;  // what is read aloud
  TAccessibleRole Role = TAccessibleRole::PushButton;
  TRect Bounds;       // in the window's client coordinates
  bool Enabled = true;     // sensitive: can be clicked
  bool Focusable = true;   // reached with Tab
  std::string Text;        // a label's text (the version)
};

// The window as the accessibility service reads it. Implemented by the
// launcher; every call comes on the user-interface thread.
class TAccessibleWindow {
 public:
  virtual ~TAccessibleWindow() = default;
  virtual std::string Name() const = 0;
  virtual WindowHandle Handle() const = 0;
  // The window's client area on the screen, where it is now.
  virtual TRect ScreenBounds() const = 0;
  virtual size_t ControlCount() const = 0;
  virtual TAccessibleControl Control(size_t index) const = 0;
  // The control with the keyboard focus; -1 for none.
  virtual int FocusedControl() const = 0;
  // Whether the window has the foreground (keyboard).
  virtual bool Active() const = 0;
  // Does what a click on the control does; false when it cannot be
  // clicked (disabled, out of range). May end the program's message loop.
  virtual bool Click(size_t index) = 0;
};

// Serves one window to assistive technologies while it lives. The
// launcher tells it of changes; it answers requests from within the
// window system's event loop (no thread of its own).
class TAccessibilityService {
 public:
  virtual ~TAccessibilityService() = default;
  // The keyboard focus moved (FocusedControl changed).
  virtual void FocusChanged() = 0;
  // The window gained or lost the foreground.
  virtual void ActiveChanged() = 0;
  // The window moved on the screen.
  virtual void BoundsChanged() = 0;
};

// Connects to the platform's accessibility bus and starts serving
// `window`; null when there is none (then nothing else changes). Made
// after the first frame is shown.
std::unique_ptr<TAccessibilityService> StartAccessibility(TAccessibleWindow& window, WindowSystem& windows);

}  // namespace portico
