// The screen portico-skin runs on, found the way the launcher finds it:
// through the platform's window system, asked quietly, since no display is
// no fault of the skin.
#include "window/native_window_system.h"
#include "skintool/commands.h"

namespace portico {

std::optional<TToolScreen> QueryToolScreen() {
  const std::unique_ptr<WindowSystem> ws = CreateNativeWindowSystem(/*say_why=*/false);
  if (!ws) return std::nullopt;
  return TToolScreen{ws->PrimaryMonitor(), ws->ScaleFactor()};
}

}  // namespace portico
