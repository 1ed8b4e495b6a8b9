// Window shapes: the rectangle list becomes one region through
// ExtCreateRegion, which the window takes with SetWindowRgn.
#include <algorithm>
#include <limits>

#include "window/win32/win32_backend.h"

namespace portico {

bool Win32WindowSystem::SetShape(WindowHandle handle, const std::vector<TRect>* rects) {
  HWND window = reinterpret_cast<HWND>(handle);
  if (!Find(window)) return false;
  if (!rects) return SetWindowRgn(window, nullptr, TRUE) != 0;

  const size_t count = rects->size();
  if (count > (std::numeric_limits<DWORD>::max() - sizeof(RGNDATAHEADER)) / sizeof(RECT)) return false;
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(count);
  header->nRgnSize = 0;
  RECT bound{0, 0, 0, 0};
  auto* out = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  for (size_t i = 0; i < count; ++i) {
    const TRect& r = (*rects)[i];
    out[i] = RECT{r.Left, r.Top, r.Right, r.Bottom};
    if (i == 0) {
      bound = out[i];
    } else {
      bound.left = std::min(bound.left, out[i].left);
      bound.top = std::min(bound.top, out[i].top);
      bound.right = std::max(bound.right, out[i].right);
      bound.bottom = std::max(bound.bottom, out[i].bottom);
    }
  }
  header->rcBound = bound;
  HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
  if (!region) return false;
  // Once taken, the region belongs to the window.
  if (!SetWindowRgn(window, region, TRUE)) {
    DeleteObject(region);
    return false;
  }
  return true;
}

}  // namespace portico
