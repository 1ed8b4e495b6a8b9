// The skin's frame: each control's rectangle drawn from the state image for
// its look, then its caption; the frame handed to the host image.
#include "render/caption.h"
#include "graphics/bitmap_scale.h"
#include "render/compositing.h"
#include "skin/skin.h"

namespace portico {

const TBitmap* TSkin::StateBitmap(const TSkinButton* button) const {
  const TStateImages images{BitmapNormal.get(), BitmapOver.get(), BitmapDown.get(),
                            BitmapDisable.get()};
  return SelectStateImage(images, button->Enabled, button->Hover, button->Down);
}

void TSkin::CopyFromBitmap(const TBitmap* source, const TRect& rect) {
  CopyRect(*BitmapFrame, source, rect);
}

void TSkin::DrawButton(TSkinButton* button) {
  if (!button || !BitmapFrame || BitmapFrame->Width() <= 0 || BitmapFrame->Height() <= 0) return;
  CopyFromBitmap(StateBitmap(button), ScaleRect(button->Bounds, Scale));
  DrawCaption(button);
  FrameChanged = true;
}

void TSkin::DrawCaption(TSkinButton* button) {
  DrawCaptionText(*BitmapFrame, button->Caption,
                  TCaptionStyle{button->TextRect, button->Alignment, button->FontSize,
                                button->TextColor, Scale});
}

void TSkin::ShowFrame(bool force) {
  if (!force && !FrameChanged) return;
  if (HostPicture) HostPicture->Assign(BitmapFrame);
  FrameChanged = false;
}

void TSkin::DrawAllButtons() {
  for (const auto& b : Buttons)
    if (b) DrawButton(b.get());
  ShowFrame(true);
}

}  // namespace portico
