#include "text/freetype/text_layout.h"

#include <algorithm>
#include <cstdlib>

#include "text/draw_text.h"
#include "text/freetype/glyph_cache.h"
#include "text/codepage.h"

namespace portico {

namespace {

constexpr int32_t MinPixels = 1;
constexpr int32_t MaxPixels = 2048;

int64_t CeilPixels(int64_t v26) { return (v26 + 63) >> 6; }

bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F; }

// Kerning between two glyphs of one face at the active size, 26.6.
int64_t Kerning(const TPlacedGlyph& left, const TFontRef& font, unsigned right, int32_t pixels) {
  if (!(left.Font == font) || !FT_HAS_KERNING(font.Face->Face())) return 0;
  if (!font.Face->UseSize(pixels)) return 0;
  FT_Vector delta{0, 0};
  if (FT_Get_Kerning(font.Face->Face(), left.Index, right, FT_KERNING_DEFAULT, &delta) != 0) return 0;
  return delta.x;
}

// Appends a glyph after the last one on the line.
void Append(TTextState& state, TTextLine& line, const TFontRef& font, unsigned index, bool underline) {
  TPlacedGlyph g;
  g.Font = font;
  g.Index = index;
  g.Underline = underline;
  g.Advance = state.Glyphs.Advance(font, line.Pixels, index);
  g.X = line.Width;
  if (!line.Glyphs.empty()) g.X += Kerning(line.Glyphs.back(), font, index, line.Pixels);
  line.Width = g.X + g.Advance;
  line.Glyphs.push_back(g);
}

// The face and glyph that show a code point: the primary face if it has
// it, else a fallback, else the primary's missing-glyph box.
std::pair<TFontRef, unsigned> GlyphFor(TTextState& state, TFontFamily& family, char32_t code) {
  const unsigned index = family.Primary.Face->GlyphIndex(code);
  if (index != 0) return {family.Primary, index};
  const TFontRef fallback = state.Fonts.ForChar(family, code);
  if (fallback) return {fallback, fallback.Face->GlyphIndex(code)};
  return {family.Primary, 0};
}

// Cuts the line so that it and a trailing "..." fit in max_width pixels;
// when not even "..." fits, keeps as many dots as do.
void CutWithEllipsis(TTextState& state, TTextLine& line, TFontFamily& family, int64_t max_width) {
  const auto [dot_font, dot_index] = GlyphFor(state, family, U'.');
  TTextLine dots;
  dots.Pixels = line.Pixels;
  for (int i = 0; i < 3; ++i) Append(state, dots, dot_font, dot_index, false);

  size_t keep = line.Glyphs.size();
  auto width_of_first = [&](size_t n) {
    return n == 0 ? 0 : line.Glyphs[n - 1].X + line.Glyphs[n - 1].Advance;
  };
  while (keep > 0 && CeilPixels(width_of_first(keep) + dots.Width) > max_width) --keep;
  const int64_t start = width_of_first(keep);
  line.Glyphs.resize(keep);
  line.Width = start;
  for (const TPlacedGlyph& dot : dots.Glyphs) {
    if (CeilPixels(start + dot.X + dot.Advance) > max_width) break;
    TPlacedGlyph placed = dot;
    placed.X += start;
    line.Width = placed.X + placed.Advance;
    line.Glyphs.push_back(placed);
  }
}

}  // namespace

int32_t FontPixelSize(int points) {
  // Points are 1/72 inch; the skin's pixels are 1/96 inch.
  const int64_t magnitude = std::llabs(int64_t{points});
  const int64_t pixels = (magnitude * 96 + 36) / 72;
  return int32_t(std::clamp<int64_t>(pixels, MinPixels, MaxPixels));
}

std::vector<TCaptionChar> CaptionChars(const std::u16string& text, unsigned format) {
  const std::u32string codes = DecodeUtf16(text, MaxCaptionChars);
  const bool prefix = (format & tfNoPrefix) == 0;
  std::vector<TCaptionChar> out;
  out.reserve(codes.size());
  bool underline_next = false;
  for (size_t i = 0; i < codes.size(); ++i) {
    const char32_t c = codes[i];
    if (prefix && c == U'&') {
      if (i + 1 < codes.size() && codes[i + 1] == U'&') {
        out.push_back({U'&', underline_next});
        underline_next = false;
        ++i;
      } else {
        underline_next = true;  // a trailing "&" is simply dropped
      }
      continue;
    }
    // One line only: CR and LF do not break it and show nothing.
    if (IsControl(c)) continue;
    out.push_back({c, underline_next});
    underline_next = false;
  }
  return out;
}

TTextLine LayoutLine(TTextState& state, const TFont& font, const std::u16string& text, unsigned format,
                     int64_t max_width) {
  TTextLine line;
  line.Pixels = FontPixelSize(font.Size);
  TFontFamily* family = state.Fonts.Family(font.Name, font.Style);
  if (!family || !family->Primary.Face->UseSize(line.Pixels)) return line;
  line.Metrics = family->Primary.Face->Metrics();
  for (const TCaptionChar& c : CaptionChars(text, format)) {
    const auto [face, index] = GlyphFor(state, *family, c.Code);
    Append(state, line, face, index, c.Underline);
  }
  if (max_width >= 0 && CeilPixels(line.Width) > max_width) CutWithEllipsis(state, line, *family, max_width);
  return line;
}

}  // namespace portico
