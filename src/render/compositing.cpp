// Composing the frame: each control's rectangle copied from the state image
// that matches its look, then its caption; the frame handed to the window.
#include <algorithm>

#include "skin/skin.h"

namespace portico {

TBitmap* TSkin::StateBitmap(const TSkinButton* button) const {
  if (!button->Enabled) return BitmapDisable ? BitmapDisable.get() : BitmapNormal.get();
  if (!button->Hover) return BitmapNormal.get();
  return button->Down ? BitmapDown.get() : BitmapOver.get();
}

void TSkin::CopyFromBitmap(const TBitmap* source, const TRect& rect) {
  if (!source) return;
  // BitBlt clips to the frame and to the source, which may be smaller.
  int64_t w = int64_t{rect.Right} - rect.Left, h = int64_t{rect.Bottom} - rect.Top;
  if (w <= 0 || h <= 0) return;
  BitBlt(*BitmapFrame, rect.Left, rect.Top, int32_t(std::min<int64_t>(w, INT32_MAX)),
         int32_t(std::min<int64_t>(h, INT32_MAX)), *source, rect.Left, rect.Top);
}

void TSkin::DrawButton(TSkinButton* button) {
  if (!button || !BitmapFrame || BitmapFrame->Width() <= 0 || BitmapFrame->Height() <= 0) return;
  CopyFromBitmap(StateBitmap(button), button->Bounds);
  DrawCaption(button);
  FrameChanged = true;
}

void TSkin::ShowFrame(bool force) {
  if (!force && !FrameChanged) return;
  if (HostPicture) HostPicture->Assign(BitmapFrame.get());
  FrameChanged = false;
}

void TSkin::DrawAllButtons() {
  for (const auto& b : Buttons)
    if (b) DrawButton(b.get());
  ShowFrame(true);
}

}  // namespace portico
