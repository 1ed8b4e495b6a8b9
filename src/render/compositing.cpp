#include "render/compositing.h"

#include <algorithm>
#include <cstdint>

namespace portico {

const TBitmap* SelectStateImage(const TStateImages& images, bool enabled, bool hover, bool down) {
  if (!enabled) return images.Disable ? images.Disable : images.Normal;
  if (!hover) return images.Normal;
  return down ? images.Down : images.Over;
}

void CopyRect(TBitmap& frame, const TBitmap* source, const TRect& rect) {
  if (!source) return;
  // BitBlt clips to the frame and to the source, which may be smaller.
  int64_t w = int64_t{rect.Right} - rect.Left, h = int64_t{rect.Bottom} - rect.Top;
  if (w <= 0 || h <= 0) return;
  BitBlt(frame, rect.Left, rect.Top, int32_t(std::min<int64_t>(w, INT32_MAX)),
         int32_t(std::min<int64_t>(h, INT32_MAX)), *source, rect.Left, rect.Top);
}

}  // namespace portico
