// A control's caption: one line of text over the pixels just copied.
#include <algorithm>
#include <cstdint>

#include "platform/draw_text.h"
#include "skin/skin.h"

namespace portico {

namespace {
// The layout flags a caption is drawn with.
constexpr unsigned DT_LEFT = tfLeft, DT_CENTER = tfCenter, DT_RIGHT = tfRight,
                   DT_VCENTER = tfVCenter, DT_SINGLELINE = tfSingleLine, DT_NOCLIP = tfNoClip,
                   DT_END_ELLIPSIS = tfEndEllipsis;
}  // namespace

void TSkin::DrawCaption(TSkinButton* button) {
  if (button->Caption.empty()) return;
  TFont& font = BitmapFrame->Canvas.Font;
  const TColor saved_color = font.Color;
  const int saved_size = font.Size;
  const unsigned saved_style = font.Style;

  TRect r = button->TextRect;
  unsigned align = DT_CENTER;
  if (button->Alignment < 0) {
    r.Left = int32_t(std::min<int64_t>(int64_t{r.Left} + 4, INT32_MAX));
    align = DT_LEFT;
  } else if (button->Alignment > 0) {
    r.Right = int32_t(std::max<int64_t>(int64_t{r.Right} - 4, INT32_MIN));
    align = DT_RIGHT;
  }
  font.Size = button->FontSize;
  font.Color = button->TextColor;
  BitmapFrame->Canvas.Brush.Style = TBrushStyle::bsClear;
  DrawTextW(*BitmapFrame, button->Caption, r,
            align | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);

  font.Color = saved_color;
  font.Size = saved_size;
  font.Style = saved_style;
}

}  // namespace portico
