// Fuzz entry point: the scan of one control line and the control it makes.
#include <cstdint>
#include <string>

#include "skin/control_line.h"
#include "skin/skin_button.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace portico;
  std::string line(reinterpret_cast<const char*>(data), size);
  ControlLine c = ScanControlLine(line);
  if (c.Name.size() > MaxControlNameLength) __builtin_trap();
  if (c.Matched >= 5 && c.Fields[2] >= 1 && c.Fields[3] >= 1) {
    int64_t right = int64_t{c.Fields[0]} + c.Fields[2], bottom = int64_t{c.Fields[1]} + c.Fields[3];
    if (right > INT32_MAX || bottom > INT32_MAX) return 0;
    const auto& f = c.Fields;
    TSkinButton b(c.Name, f[0], f[1], int32_t(right), int32_t(bottom), f[4], f[5], f[6], f[7], f[8],
                  f[9], f[10], f[11]);
    if (b.SweepAngle < 0 || b.SweepAngle > 360) __builtin_trap();
    // Probe the hit test at the corners, the centre and far away.
    int32_t xs[] = {b.Bounds.Left, b.Bounds.Right, b.Center.X, INT32_MIN, INT32_MAX};
    int32_t ys[] = {b.Bounds.Top, b.Bounds.Bottom, b.Center.Y, INT32_MIN, INT32_MAX};
    for (int32_t x : xs)
      for (int32_t y : ys) (void)b.HitTest(x, y);
  }
  return 0;
}
