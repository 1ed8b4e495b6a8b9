// Per-pixel opacity: with an opacity map the window is a layered window
// (WS_EX_LAYERED) whose picture, the frame times the map in premultiplied
// 32-bit pixels, the system blends with what lies beneath
// (UpdateLayeredWindowIndirect, later frames' changes alone through its
// dirty rectangle). Pixels of opacity 0 show nothing and take no pointer
// input. Without a map the window is painted as any other.
#include <algorithm>
#include <cstdio>

#include "window/win32/win32_backend.h"

namespace portico {

namespace {
// c * a / 255, rounded, for bytes.
inline uint32_t ScaleByte(uint32_t c, uint32_t a) {
  const uint32_t t = c * a + 128;
  return (t + (t >> 8)) >> 8;
}

// A 0x00RRGGBB pixel at opacity a as the system's premultiplied 0xAARRGGBB.
inline uint32_t Premultiply(uint32_t p, uint32_t a) {
  if (a == 255) return p | 0xFF000000u;
  if (a == 0) return 0;
  return a << 24 | ScaleByte((p >> 16) & 0xFF, a) << 16 | ScaleByte((p >> 8) & 0xFF, a) << 8 |
         ScaleByte(p & 0xFF, a);
}

// Rectangle r (inside the window) of the frame copy times the map into
// `blended`. What no frame covers is opaque black, as WM_PAINT paints it;
// what the map does not cover is opaque.
void Blend(const Win32FrameImage& frame, const TAlphaMap& map, Win32FrameImage& blended, const TRect& r) {
  for (int y = r.Top; y < r.Bottom; ++y) {
    uint32_t* out = blended.Row(y);
    const uint32_t* in = y < frame.Height() ? frame.Row(y) : nullptr;
    const int framed = in ? std::clamp(frame.Width(), r.Left, r.Right) : r.Left;
    const int mapped = y < map.Height ? std::clamp(map.Width, r.Left, framed) : r.Left;
    const uint8_t* alpha = mapped > r.Left ? &map.Values[size_t(y) * size_t(map.Width)] : nullptr;
    int x = r.Left;
    for (; x < mapped; ++x) out[x] = Premultiply(in[x], alpha[x]);
    for (; x < framed; ++x) out[x] = in[x] | 0xFF000000u;
    for (; x < r.Right; ++x) out[x] = 0xFF000000u;
  }
}
}  // namespace

bool Win32WindowSystem::SetOpacity(WindowHandle handle, const TAlphaMap* alpha) {
  HWND window = reinterpret_cast<HWND>(handle);
  TopLevel* w = Find(window);
  if (!w || !Compositing()) return false;
  if (!alpha) {
    if (w->Opacity) LeaveLayered(window, *w);
    return true;
  }
  if (alpha->Width < 0 || alpha->Height < 0 ||
      alpha->Values.size() != size_t(alpha->Width) * size_t(alpha->Height))
    return false;
  w->Opacity = *alpha;
  w->Blended.reset();
  const LONG_PTR ex_style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (!(ex_style & WS_EX_LAYERED)) SetWindowLongPtrW(window, GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
  if (!(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED)) {
    w->Opacity.reset();
    return false;
  }
  // A layered window shows nothing until it is given a picture: the last
  // frame's goes at once.
  return ShowBlended(window, *w, nullptr);
}

bool Win32WindowSystem::ShowBlended(HWND window, TopLevel& w, const std::vector<TRect>* dirty) {
  if (!w.Image || !w.Opacity) return true;
  const bool fresh = !w.Blended || w.Blended->Width() != w.Width || w.Blended->Height() != w.Height;
  if (fresh) {
    w.Blended.reset();
    w.Blended = Win32FrameImage::Create(w.Width, w.Height);
  }
  const TRect all{0, 0, w.Width, w.Height};
  TRect bound{};
  if (w.Blended) {
    GdiFlush();
    if (fresh || !dirty) {
      Blend(*w.Image, *w.Opacity, *w.Blended, all);
      bound = all;
    } else {
      for (const TRect& r : *dirty) {
        const TRect c = IntersectRect(r, all);
        if (c.IsEmpty()) continue;
        Blend(*w.Image, *w.Opacity, *w.Blended, c);
        bound = bound.IsEmpty() ? c : UnionRect(bound, c);
      }
      if (bound.IsEmpty()) return true;
    }
  }
  POINT origin{0, 0};
  SIZE size{w.Width, w.Height};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const RECT changed{bound.Left, bound.Top, bound.Right, bound.Bottom};
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof info;
  info.hdcSrc = w.Blended ? w.Blended->Dc() : nullptr;
  info.pptSrc = &origin;
  info.psize = &size;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = bound == all ? nullptr : &changed;
  if (w.Blended && UpdateLayeredWindowIndirect(window, &info)) return true;
  std::fprintf(stderr, "portico: the system did not take the window's opacity; it is painted without it\n");
  LeaveLayered(window, w);
  return false;
}

void Win32WindowSystem::LeaveLayered(HWND window, TopLevel& w) {
  w.Opacity.reset();
  w.Blended.reset();
  const LONG_PTR ex_style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (!(ex_style & WS_EX_LAYERED)) return;
  SetWindowLongPtrW(window, GWL_EXSTYLE, ex_style & ~LONG_PTR{WS_EX_LAYERED});
  // The system forgets the layered picture: WM_PAINT draws the frame copy.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

}  // namespace portico
