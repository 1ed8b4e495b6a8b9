// The Win32 window system on a move to a monitor of another scale: the
// application hears the new factor and the client bounds the system
// suggests, and until it draws at that scale the window keeps its size at
// the suggested place.
#include "system/win32/win32_windows.h"

#include <gtest/gtest.h>

#include <optional>

#include "window/win32/win32_window_system.h"

namespace portico {
namespace {

class ScaleSink final : public WindowEvents {
 public:
  void PointerEvent(WindowHandle, PointerAction, int, int, int) override {}
  void KeyChar(WindowHandle, char) override {}
  void CloseRequested(WindowHandle) override {}
  void WindowDestroyed(WindowHandle) override {}
  void WindowMoved(WindowHandle, int, int) override {}
  void ScaleChanged(WindowHandle, int factor, const TRect& suggested) override {
    Factor = factor;
    Suggested = suggested;
  }
  std::optional<int> Factor;
  TRect Suggested{};
};

TEST(Win32ScaleChange, TheSinkHearsTheFactorAndTheWindowKeepsItsSizeAtTheSuggestedPlace) {
  std::unique_ptr<WindowSystem> ws = CreateWin32WindowSystem();
  ASSERT_TRUE(ws);
  ScaleSink sink;
  ws->SetSink(&sink);
  const WindowHandle window = ws->CreateTopLevel(TopLevelSpec{"FormInstall", "PorticoScaleTest"}, 480, 320);
  ASSERT_NE(window, 0u);
  ws->SetWindowBounds(window, 100, 50, 480, 320);

  RECT suggested{200, 100, 1160, 740};
  SendMessageW(reinterpret_cast<HWND>(window), WM_DPICHANGED, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));

  EXPECT_EQ(sink.Factor, 2);
  EXPECT_EQ(sink.Suggested, (TRect{200, 100, 1160, 740}));
  RECT now{};
  ASSERT_TRUE(GetWindowRect(reinterpret_cast<HWND>(window), &now));
  EXPECT_EQ(now.left, 200);
  EXPECT_EQ(now.top, 100);
  EXPECT_EQ(now.right - now.left, 480);
  EXPECT_EQ(now.bottom - now.top, 320);
  ws->DestroyWindow(window);
}

}  // namespace
}  // namespace portico
