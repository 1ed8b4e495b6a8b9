#include "render/caption.h"

#include <algorithm>
#include <cstdint>

#include "graphics/bitmap_scale.h"
#include "text/draw_text.h"

namespace portico {

namespace {
// The layout flags a caption is drawn with.
constexpr unsigned DT_LEFT = tfLeft, DT_CENTER = tfCenter, DT_RIGHT = tfRight,
                   DT_VCENTER = tfVCenter, DT_SINGLELINE = tfSingleLine, DT_NOCLIP = tfNoClip,
                   DT_END_ELLIPSIS = tfEndEllipsis;
}  // namespace

void DrawCaptionText(TBitmap& frame, const std::u16string& caption, const TCaptionStyle& style) {
  if (caption.empty()) return;
  TFont& font = frame.Canvas.Font;
  const TColor saved_color = font.Color;
  const int saved_size = font.Size;
  const unsigned saved_style = font.Style;

  const int32_t k = std::max<int32_t>(style.Scale, 1);
  TRect r = ScaleRect(style.TextRect, k);
  unsigned align = DT_CENTER;
  if (style.Alignment < 0) {
    r.Left = int32_t(std::min<int64_t>(int64_t{r.Left} + 4 * k, INT32_MAX));
    align = DT_LEFT;
  } else if (style.Alignment > 0) {
    r.Right = int32_t(std::max<int64_t>(int64_t{r.Right} - 4 * k, INT32_MIN));
    align = DT_RIGHT;
  }
  font.Size = int(std::clamp<int64_t>(int64_t{style.FontSize} * k, INT32_MIN, INT32_MAX));
  font.Color = style.TextColor;
  frame.Canvas.Brush.Style = TBrushStyle::bsClear;
  DrawTextW(frame, caption, r, align | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);

  font.Color = saved_color;
  font.Size = saved_size;
  font.Style = saved_style;
}

}  // namespace portico
