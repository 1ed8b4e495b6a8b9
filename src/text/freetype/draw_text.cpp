#include "text/draw_text.h"

#include <algorithm>
#include <mutex>

#include "text/freetype/coverage_blend.h"
#include "text/freetype/text_layout.h"
#include "text/freetype/text_state.h"

namespace portico {

namespace {

// One caption at a time, whichever state it is drawn with.
std::mutex& TextLock() {
  static std::mutex lock;
  return lock;
}

// The state of the TTextPreparation in use, if one was made; guarded by
// the text lock, so it cannot go while a caption is drawn with it.
TTextState* registered_state = nullptr;

// The state to draw with, under the text lock. Programs and tests that
// make no TTextPreparation get one of their own, its face opened on first
// use; it holds no thread.
TTextState& StateInUse() {
  if (registered_state) return *registered_state;
  static TTextState own;
  return own;
}

int64_t FloorDiv2(int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
int64_t RoundPixels(int64_t v26) { return (v26 + 32) >> 6; }

// A rectangle in 64-bit coordinates: positions computed from 32-bit rect
// values and text widths may leave the 32-bit range.
struct TBox {
  int64_t Left, Top, Right, Bottom;
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  TBox Intersect(const TBox& o) const {
    return {std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
            std::min(Bottom, o.Bottom)};
  }
};

// Paints coverage in one colour inside a clip box and records the area touched.
class TPainter {
 public:
  TPainter(TBitmap& target, const TBox& clip, uint32_t colour)
      : target_(target), clip_(clip), colour_(colour) {}

  // Blends a glyph image whose top-left pixel lands at (x, y).
  void Glyph(const TGlyphBitmap& g, int64_t x, int64_t y) {
    const TBox box = TBox{x, y, x + g.Width, y + g.Height}.Intersect(clip_);
    if (box.Empty()) return;
    for (int64_t py = box.Top; py < box.Bottom; ++py) {
      const uint8_t* src = g.Coverage.data() + size_t(py - y) * size_t(g.Width) + size_t(box.Left - x);
      uint32_t* dst = target_.Row(int32_t(py)) + box.Left;
      for (int64_t n = box.Right - box.Left; n > 0; --n, ++src, ++dst)
        if (*src) *dst = BlendCoverage(*dst, colour_, *src);
    }
    Touch(box);
  }

  // Fills a rectangle in the colour (underline and strike lines).
  void Fill(const TBox& area) {
    const TBox box = area.Intersect(clip_);
    if (box.Empty()) return;
    for (int64_t py = box.Top; py < box.Bottom; ++py)
      std::fill(target_.Row(int32_t(py)) + box.Left, target_.Row(int32_t(py)) + box.Right, colour_);
    Touch(box);
  }

  // Reports everything painted as damage to the bitmap.
  void Finish() {
    if (!damage_.Empty())
      target_.AddDamage(TRect{int32_t(damage_.Left), int32_t(damage_.Top), int32_t(damage_.Right),
                              int32_t(damage_.Bottom)});
  }

 private:
  void Touch(const TBox& box) {
    damage_ = damage_.Empty()
                  ? box
                  : TBox{std::min(damage_.Left, box.Left), std::min(damage_.Top, box.Top),
                         std::max(damage_.Right, box.Right), std::max(damage_.Bottom, box.Bottom)};
  }

  TBitmap& target_;
  TBox clip_;
  uint32_t colour_;
  TBox damage_{0, 0, 0, 0};
};

// Draws the glyphs of a line with its pen origin at (x, baseline).
void PaintGlyphs(TGlyphCache& cache, TPainter& painter, const TTextLine& line, const TBox& clip, int64_t x,
                 int64_t baseline) {
  // Glyph images never reach further than this from their pen position
  // (the cache refuses larger ones), so far-off glyphs are not rendered.
  const int64_t reach = int64_t{line.Pixels} * 8 + 512;
  for (const TPlacedGlyph& g : line.Glyphs) {
    const int64_t pen = x + RoundPixels(g.X);
    if (pen + reach < clip.Left || pen - reach > clip.Right) continue;
    if (auto image = cache.Bitmap(g.Font, line.Pixels, g.Index))
      painter.Glyph(*image, pen + image->Left, baseline - image->Top);
  }
}

// Draws the "&" underlines, and the whole-line underline and strike line
// that the font style asks for.
void PaintLines(TPainter& painter, const TTextLine& line, unsigned style, int64_t x, int64_t baseline) {
  const TFaceMetrics& m = line.Metrics;
  const int64_t under_top = baseline + m.UnderlineTop;
  for (const TPlacedGlyph& g : line.Glyphs) {
    if (!g.Underline) continue;
    painter.Fill({x + RoundPixels(g.X), under_top, x + RoundPixels(g.X + g.Advance),
                  under_top + m.UnderlineThickness});
  }
  const int64_t right = x + RoundPixels(line.Width);
  if (style & fsUnderline) painter.Fill({x, under_top, right, under_top + m.UnderlineThickness});
  if (style & fsStrikeOut)
    painter.Fill({x, baseline - m.StrikeTop, right, baseline - m.StrikeTop + m.StrikeThickness});
}

}  // namespace

TTextPreparation::TTextPreparation() {
  std::lock_guard<std::mutex> hold(TextLock());
  if (registered_state) return;  // the first one stays in use
  state_ = std::make_unique<TTextState>();
  // The bundled face opens from memory in well under a millisecond, so
  // no thread: one is worth it only for fontconfig, and that waits until a
  // caption needs it, when the caption waits for it anyway.
  state_->Fonts.Family(std::string(), 0);
  registered_state = state_.get();
}

TTextPreparation::~TTextPreparation() {
  std::lock_guard<std::mutex> hold(TextLock());
  if (state_ && registered_state == state_.get()) registered_state = nullptr;
  state_.reset();
}

int DrawTextW(TBitmap& target, const std::u16string& text, TRect rect, unsigned format) {
  if (text.empty()) return 0;
  std::lock_guard<std::mutex> hold(TextLock());
  TTextState& state = StateInUse();
  const TFont& font = target.Canvas.Font;
  const TBox box{rect.Left, rect.Top, rect.Right, rect.Bottom};
  const int64_t box_width = box.Right - box.Left;
  const int64_t box_height = box.Bottom - box.Top;
  const TTextLine line =
      LayoutLine(state, font, text, format, (format & tfEndEllipsis) ? std::max<int64_t>(box_width, 0) : -1);
  if (line.Glyphs.empty()) return 0;

  // Alignment goes by advance widths, as the layout measured them.
  const int64_t text_width = (line.Width + 63) >> 6;
  int64_t x = box.Left;
  if (format & tfCenter)
    x += FloorDiv2(box_width - text_width);
  else if (format & tfRight)
    x = box.Right - text_width;
  const int32_t line_height = line.Metrics.Ascent + line.Metrics.Descent;
  int64_t top = box.Top;
  if (format & tfVCenter) top += FloorDiv2(box_height - line_height);
  const int64_t baseline = top + line.Metrics.Ascent;

  TBox clip{0, 0, target.Width(), target.Height()};
  if (!(format & tfNoClip)) clip = clip.Intersect(box);
  if (!clip.Empty()) {
    TPainter painter(target, clip, ColorToPixel(font.Color) & 0xFFFFFF);
    PaintGlyphs(state.Glyphs, painter, line, clip, x, baseline);
    PaintLines(painter, line, font.Style, x, baseline);
    painter.Finish();
  }
  return line_height;
}

TPoint TextExtentW(const TFont& font, const std::u16string& text, unsigned format) {
  if (text.empty()) return {};
  std::lock_guard<std::mutex> hold(TextLock());
  const TTextLine line = LayoutLine(StateInUse(), font, text, format & tfNoPrefix, -1);
  if (line.Glyphs.empty()) return {};
  return {int32_t(std::min<int64_t>((line.Width + 63) >> 6, INT32_MAX)),
          line.Metrics.Ascent + line.Metrics.Descent};
}

}  // namespace portico
