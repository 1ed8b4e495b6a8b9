// Caption drawing checked on rendered pixels: alignment, ellipsis, "&"
// prefixes, clipping, colour, the bundled and fallback faces and damage.
#include "text/draw_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "text/codepage.h"
// The FreeType layout's own pieces and the fonts fontconfig knows: tested
// where captions are drawn with them, not on Windows (GDI draws there).
#ifndef _WIN32
#include <fontconfig/fontconfig.h>

#include "text/freetype/coverage_blend.h"
#include "text/freetype/text_layout.h"
#endif

namespace portico {
namespace {

constexpr uint32_t Background = 0xFFFFFF;

// A bitmap filled with the background, with black 10 pt text and no damage.
TBitmap Canvas(int32_t w, int32_t h, int size = 10) {
  TBitmap b(w, h);
  std::fill(b.Data(), b.Data() + size_t(w) * size_t(h), Background);
  b.Canvas.Font.Size = size;
  b.Canvas.Font.Color = 0;
  b.TakeDamage();
  return b;
}

std::vector<uint32_t> PixelsOf(const TBitmap& b) {
  return std::vector<uint32_t>(b.Data(), b.Data() + size_t(b.Width()) * size_t(b.Height()));
}

// Bounding box of every pixel that differs from the background.
TRect InkBox(const TBitmap& b) {
  TRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != Background)
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
  return r.IsEmpty() ? TRect{} : r;
}

// Number of ink pixels in row y.
int InkInRow(const TBitmap& b, int32_t y) {
  int n = 0;
  for (int32_t x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) != Background;
  return n;
}

// Draws text into a fresh canvas and returns it.
TBitmap Drawn(const std::u16string& text, unsigned format, int32_t w = 200, int32_t h = 40, int size = 10,
              unsigned style = 0) {
  TBitmap b = Canvas(w, h, size);
  b.Canvas.Font.Style = style;
  DrawTextW(b, text, TRect{0, 0, w, h}, format);
  return b;
}

#ifndef _WIN32
// Whether any installed font covers the code point.
bool SomeFontHas(char32_t code) {
  FcPattern* p = FcPatternCreate();
  FcCharSet* cs = FcCharSetCreate();
  FcCharSetAddChar(cs, code);
  FcPatternAddCharSet(p, FC_CHARSET, cs);
  FcObjectSet* os = FcObjectSetBuild(FC_FILE, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, p, os);
  const bool found = fonts && fonts->nfont > 0;
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(os);
  FcCharSetDestroy(cs);
  FcPatternDestroy(p);
  return found;
}

// Whether fontconfig knows a family of that name.
bool SomeFamilyInstalled(const char* family) {
  FcPattern* p = FcPatternCreate();
  FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* os = FcObjectSetBuild(FC_FILE, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, p, os);
  const bool found = fonts && fonts->nfont > 0;
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(os);
  FcPatternDestroy(p);
  return found;
}
#endif

TEST(DecodeUtf16, PairsAndLoneSurrogates) {
  EXPECT_EQ(DecodeUtf16(u"A\U0001D400B", 100), U"A\U0001D400B");
  EXPECT_EQ(DecodeUtf16(std::u16string{0xD800}, 100), U"\uFFFD");
  EXPECT_EQ(DecodeUtf16(std::u16string{0xDC00, 0xD800, u'x'}, 100), U"\uFFFD\uFFFDx");
  EXPECT_EQ(DecodeUtf16(std::u16string{0xD83D, u'x'}, 100), U"\uFFFDx");
  EXPECT_EQ(DecodeUtf16(u"abcdef", 3), U"abc");
}

#ifndef _WIN32
TEST(CoverageBlend, RoundsEveryChannelToNearest) {
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t src = 0; src < 256; ++src) {
      for (uint32_t dst = 0; dst < 256; ++dst) {
        auto round = [&](uint32_t s, uint32_t d) { return (s * a + d * (255 - a) + 127) / 255; };
        // Different values in red, green and blue, so that channels cannot leak into each other.
        const uint32_t got =
            BlendCoverage(dst << 16 | (255 - dst) << 8 | dst, src << 16 | src << 8 | (255 - src), a);
        const uint32_t want = round(src, dst) << 16 | round(src, 255 - dst) << 8 | round(255 - src, dst);
        if (got != want) {
          ASSERT_EQ(got, want) << "coverage " << a << " src " << src << " dst " << dst;
        }
      }
    }
  }
}

TEST(CaptionChars, PrefixRules) {
  auto shown = [](const std::u16string& s, unsigned format) {
    std::u32string codes;
    std::string marks;
    for (const TCaptionChar& c : CaptionChars(s, format)) {
      codes += c.Code;
      marks += c.Underline ? '_' : '.';
    }
    return std::make_pair(codes, marks);
  };
  EXPECT_EQ(shown(u"&Open", 0), std::make_pair(std::u32string(U"Open"), std::string("_...")));
  EXPECT_EQ(shown(u"A&&B", 0), std::make_pair(std::u32string(U"A&B"), std::string("...")));
  EXPECT_EQ(shown(u"&&&x", 0), std::make_pair(std::u32string(U"&x"), std::string("._")));
  EXPECT_EQ(shown(u"ab&", 0), std::make_pair(std::u32string(U"ab"), std::string("..")));
  EXPECT_EQ(shown(u"a&b", tfNoPrefix), std::make_pair(std::u32string(U"a&b"), std::string("...")));
  EXPECT_EQ(shown(u"one\r\ntwo", 0).first, U"onetwo");
}

TEST(FontPixelSize, ConvertsAndClamps) {
  EXPECT_EQ(FontPixelSize(8), 11);
  EXPECT_EQ(FontPixelSize(9), 12);
  EXPECT_EQ(FontPixelSize(10), 13);
  EXPECT_EQ(FontPixelSize(0), 1);
  EXPECT_EQ(FontPixelSize(100000), 2048);
  EXPECT_EQ(FontPixelSize(INT_MIN), 2048);
}
#endif

TEST(DrawText, HorizontalAlignmentByInk) {
  const TRect rect{10, 0, 190, 40};
  auto ink = [&](unsigned format) {
    TBitmap b = Canvas(200, 40);
    EXPECT_GT(DrawTextW(b, u"Caption", rect, format), 0);
    return InkBox(b);
  };
  const TRect left = ink(tfLeft), centre = ink(tfCenter), right = ink(tfRight);
  EXPECT_GE(left.Left, 10);
  EXPECT_LE(left.Left, 13);
  EXPECT_LE(right.Right, 190);
  EXPECT_GE(right.Right, 186);
  EXPECT_NEAR(centre.Left - rect.Left, rect.Right - centre.Right, 3);
  // The same glyphs, only moved.
  EXPECT_EQ(left.Width(), centre.Width());
  EXPECT_EQ(left.Width(), right.Width());
}

TEST(DrawText, VerticalCentringOfTheLineBox) {
  TBitmap top = Canvas(200, 120), mid = Canvas(200, 120), tall = Canvas(200, 120);
  const int h = DrawTextW(top, u"Hg", TRect{0, 0, 200, 60}, tfLeft);
  ASSERT_GT(h, 0);
  EXPECT_EQ(DrawTextW(mid, u"Hg", TRect{0, 0, 200, 60}, tfVCenter), h);
  DrawTextW(tall, u"Hg", TRect{0, 0, 200, 100}, tfVCenter);
  const TRect t = InkBox(top), m = InkBox(mid), l = InkBox(tall);
  EXPECT_GE(t.Top, 0);
  EXPECT_LE(t.Bottom, h);
  EXPECT_EQ(m.Top - t.Top, (60 - h) / 2);
  // 40 more pixels of box height move the line down by 20.
  EXPECT_EQ(l.Top - m.Top, 20);
  EXPECT_EQ(l.Bottom - m.Bottom, 20);
}

TEST(DrawText, EllipsisFitsTheBox) {
  const std::u16string text = u"A caption much too long for its little box";
  ASSERT_GT(TextExtentW(TFont{"", 10, 0, 0}, text, 0).X, 100);
  // No clipping here, so only the cut keeps the ink inside.
  TBitmap cut = Canvas(300, 40), whole = Canvas(300, 40);
  EXPECT_GT(DrawTextW(cut, text, TRect{10, 0, 110, 40}, tfEndEllipsis | tfNoClip), 0);
  DrawTextW(whole, text, TRect{10, 0, 110, 40}, tfNoClip);
  const TRect ink = InkBox(cut);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 110);
  EXPECT_GE(ink.Right, 100);  // the dots end near the right edge
  EXPECT_GT(InkBox(whole).Right, 110);
  // The end is three dots: three separate runs of inked columns.
  const int32_t dots_width = TextExtentW(TFont{"", 10, 0, 0}, u"...", 0).X;
  ASSERT_GT(dots_width, 3);
  int runs = 0;
  for (int32_t x = ink.Right - dots_width + 1, in = 0; x < ink.Right; ++x) {
    bool inked = false;
    for (int32_t y = 0; y < cut.Height(); ++y) inked |= cut.Pixel(x, y) != Background;
    runs += inked && !in;
    in = inked;
  }
  EXPECT_EQ(runs, 3);
}

TEST(DrawText, ACaptionThatFitsExactlyIsDrawnWhole) {
  const std::u16string text = u"Install now";
  const int32_t width = TextExtentW(TFont{"", 10, 0, 0}, text, 0).X;
  ASSERT_GT(width, 10);
  EXPECT_EQ(PixelsOf(Drawn(text, tfEndEllipsis, width)), PixelsOf(Drawn(text, 0, width)));
  // One pixel less and the end gives way to the dots.
  EXPECT_NE(PixelsOf(Drawn(text, tfEndEllipsis, width - 1)), PixelsOf(Drawn(text, 0, width - 1)));
}

#ifndef _WIN32
TEST(DrawText, EllipsisKeepsEveryCharacterThatFitsExactly) {
  // A box exactly as wide as "Install" and the dots keeps all seven letters.
  const TFont font{"", 10, 0, 0};
  const int32_t kept = TextExtentW(font, u"Install", 0).X;
  const int32_t width = kept + TextExtentW(font, u"...", 0).X;
  ASSERT_GT(kept, 10);
  // The dots are not kerned against the last letter: the two parts side by side.
  TBitmap parts = Canvas(width, 40);
  DrawTextW(parts, u"Install", TRect{0, 0, width, 40}, 0);
  DrawTextW(parts, u"...", TRect{kept, 0, width, 40}, 0);
  EXPECT_EQ(PixelsOf(Drawn(u"Installing", tfEndEllipsis, width)), PixelsOf(parts));
}
#endif

TEST(DrawText, EllipsisInTinyBoxes) {
  // GDI lets the dots overflow a box narrower than they are.
#ifndef _WIN32
  for (int32_t width : {0, 1, 3, 6, 12}) {
    TBitmap b = Canvas(60, 30);
    DrawTextW(b, u"Caption", TRect{20, 0, 20 + width, 30}, tfEndEllipsis | tfNoClip);
    const TRect ink = InkBox(b);
    if (ink.IsEmpty()) continue;
    EXPECT_GE(ink.Left, 20) << width;
    EXPECT_LE(ink.Right, 20 + width) << width;
  }
#endif
  // Text that fits is left alone.
  EXPECT_EQ(PixelsOf(Drawn(u"Go", tfEndEllipsis)), PixelsOf(Drawn(u"Go", 0)));
}

TEST(DrawText, AmpersandRules) {
  EXPECT_EQ(PixelsOf(Drawn(u"A&&B", 0)), PixelsOf(Drawn(u"A&B", tfNoPrefix)));
#ifndef _WIN32
  // A lone "&" at the end: dropped here, drawn as itself by GDI.
  EXPECT_EQ(PixelsOf(Drawn(u"AB&", 0)), PixelsOf(Drawn(u"AB", tfNoPrefix)));
#endif
  EXPECT_NE(PixelsOf(Drawn(u"&A", tfNoPrefix)), PixelsOf(Drawn(u"A", tfNoPrefix)));

  // "&A" is "A" plus a line under it.
  const TBitmap plain = Drawn(u"A", 0), marked = Drawn(u"&A", 0);
  const TRect letter = InkBox(plain);
  int32_t first_new_row = -1;
  for (int32_t y = 0; y < plain.Height(); ++y) {
    for (int32_t x = 0; x < plain.Width(); ++x) {
      if (plain.Pixel(x, y) == marked.Pixel(x, y)) continue;
      EXPECT_GE(y, letter.Bottom) << "only below the letter";
      if (first_new_row < 0) first_new_row = y;
    }
  }
  ASSERT_GE(first_new_row, 0);
  EXPECT_GE(InkInRow(marked, first_new_row), letter.Width() - 2);
}

TEST(DrawText, UnderlineAndStrikeStyles) {
  const TBitmap plain = Drawn(u"xxxx", 0, 200, 40, 12);
  const TBitmap under = Drawn(u"xxxx", 0, 200, 40, 12, fsUnderline);
  const TBitmap strike = Drawn(u"xxxx", 0, 200, 40, 12, fsStrikeOut);
  const TRect ink = InkBox(plain);
  const TRect u = InkBox(under);
  EXPECT_GT(u.Bottom, ink.Bottom);
  EXPECT_GE(InkInRow(under, u.Bottom - 1), ink.Width() - 2);
  // The strike line fills a row across the x-height, where "xxxx" has gaps.
  bool full_row = false;
  for (int32_t y = ink.Top; y < ink.Bottom; ++y)
    full_row |= InkInRow(strike, y) >= ink.Width() - 2 && InkInRow(plain, y) < ink.Width() - 2;
  EXPECT_TRUE(full_row);
  EXPECT_EQ(InkBox(strike).Top, ink.Top);
}

TEST(DrawText, ClippedToRectAndBitmap) {
  // Big text in a small rect: nothing outside the rect changes.
  TBitmap b = Canvas(100, 60, 30);
  const TRect rect{10, 10, 50, 30};
  EXPECT_GT(DrawTextW(b, u"WWWW", rect, tfCenter | tfVCenter), 0);
  const TRect ink = InkBox(b);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_EQ(IntersectRect(ink, rect), ink);

  // The same with tfNoClip overflows the rect but stays in the bitmap.
  TBitmap free_text = Canvas(100, 60, 30);
  DrawTextW(free_text, u"WWWW", rect, tfCenter | tfVCenter | tfNoClip);
  const TRect wide = InkBox(free_text);
  EXPECT_LT(wide.Left, rect.Left);
  EXPECT_GT(wide.Right, rect.Right);

  // Rects partly or wholly outside, and extreme values: no crash, and the
  // text lands where it should.
  TBitmap edge = Canvas(60, 30);
  DrawTextW(edge, u"Edge text", TRect{-20, -5, 40, 20}, tfLeft);
  EXPECT_FALSE(InkBox(edge).IsEmpty());
  for (unsigned format : {0u, unsigned(tfCenter | tfVCenter), unsigned(tfRight | tfNoClip),
                          unsigned(tfEndEllipsis | tfCenter)}) {
    for (const TRect& r :
         {TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
          TRect{INT32_MAX - 3, INT32_MAX - 3, INT32_MAX, INT32_MAX}, TRect{INT32_MIN, 0, INT32_MIN + 5, 30},
          TRect{50, 20, 10, 5}, TRect{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}}) {
      TBitmap extreme = Canvas(60, 30);
      DrawTextW(extreme, u"Caption text", r, format);
    }
  }
}

TEST(DrawText, DrawsInTheFontColourOverTheBackground) {
  TBitmap b = Canvas(200, 40, 14);
  b.Canvas.Font.Color = 0x00336699;  // BBGGRR
  b.Canvas.Font.Style = fsBold;
  DrawTextW(b, u"HIM", TRect{0, 0, 200, 40}, tfVCenter);
  const uint32_t colour = ColorToPixel(0x00336699);
  ASSERT_EQ(colour, 0x996633u);
  bool found = false;
  for (int32_t y = 0; y < b.Height(); ++y) {
    for (int32_t x = 0; x < b.Width(); ++x) {
      const uint32_t p = b.Pixel(x, y);
      found |= p == colour;
      // Each channel lies between the background and the font colour.
      for (int shift : {0, 8, 16}) {
        const uint32_t c = (p >> shift) & 0xFF, lo = (colour >> shift) & 0xFF;
        EXPECT_GE(c, lo);
      }
    }
  }
  EXPECT_TRUE(found);
  // No background box: the corners of the rect keep their pixels.
  EXPECT_EQ(b.Pixel(0, 0), Background);
  EXPECT_EQ(b.Pixel(199, 39), Background);
}

TEST(DrawText, InkGrowsWithFontSize) {
  int32_t last_height = 0, last_width = 0;
  // Sizes that a bitmap face (Windows' MS Sans Serif) has apart.
  for (int size : {8, 10, 12}) {
    const TRect ink = InkBox(Drawn(u"Hello", tfVCenter, 300, 60, size));
    EXPECT_GT(ink.Height(), last_height) << size;
    EXPECT_GT(ink.Width(), last_width) << size;
    last_height = ink.Height();
    last_width = ink.Width();
  }
}

TEST(DrawText, OddFontSizesStaySane) {
  for (int size : {0, -8, -100000, 100000, INT_MAX, INT_MIN}) {
    TBitmap b = Canvas(80, 40, size);
    const int h = DrawTextW(b, u"Ab", TRect{0, 0, 80, 40}, tfCenter | tfVCenter);
    EXPECT_GE(h, 0) << size;
    EXPECT_LE(h, 4096) << size;
  }
}

TEST(DrawText, ReturnsLineHeightOrZero) {
  TBitmap b = Canvas(100, 30);
  EXPECT_EQ(DrawTextW(b, u"", TRect{0, 0, 100, 30}, 0), 0);
  // A lone "&" and line breaks show nothing here; GDI draws them.
#ifndef _WIN32
  EXPECT_EQ(DrawTextW(b, u"&", TRect{0, 0, 100, 30}, 0), 0);
  EXPECT_EQ(DrawTextW(b, u"\r\n", TRect{0, 0, 100, 30}, 0), 0);
  EXPECT_EQ(TextExtentW(b.Canvas.Font, u"&", 0), (TPoint{0, 0}));
#endif
  EXPECT_TRUE(InkBox(b).IsEmpty());
  EXPECT_FALSE(b.HasDamage());
  const int h = DrawTextW(b, u"Text", TRect{0, 0, 100, 30}, 0);
  EXPECT_GT(h, 0);
  EXPECT_EQ(TextExtentW(b.Canvas.Font, u"Text", 0).Y, h);
}

TEST(DrawText, DamageCoversTheInk) {
  TBitmap b = Canvas(200, 40);
  DrawTextW(b, u"Damage &me", TRect{5, 5, 195, 35}, tfCenter | tfVCenter);
  const TRect ink = InkBox(b);
  ASSERT_FALSE(ink.IsEmpty());
  TRect all;
  for (const TRect& r : b.TakeDamage()) all = UnionRect(all, r);
  EXPECT_EQ(IntersectRect(all, ink), ink);
  EXPECT_EQ(IntersectRect(all, TRect{5, 5, 195, 35}), all);
}

#ifndef _WIN32
TEST(DrawText, SurrogatePairsDecodeToOneCharacter) {
  // A lone surrogate shows as U+FFFD.
  EXPECT_EQ(PixelsOf(Drawn(std::u16string{u'a', 0xD800, u'b'}, 0)), PixelsOf(Drawn(u"a\uFFFDb", 0)));
  if (!SomeFontHas(0x1D400)) GTEST_SKIP() << "no font has U+1D400";
  const TBitmap bold_a = Drawn(u"\U0001D400", 0);
  EXPECT_FALSE(InkBox(bold_a).IsEmpty());
  EXPECT_NE(PixelsOf(bold_a), PixelsOf(Drawn(u"\uFFFD\uFFFD", 0)));
  EXPECT_NE(PixelsOf(bold_a), PixelsOf(Drawn(u"\uFFFD", 0)));
}

// Draws `text` and the same number of characters no font has; they must differ.
void ExpectRealGlyphs(const std::u16string& text, const std::u16string& missing) {
  const TBitmap shown = Drawn(text, 0), boxes = Drawn(missing, 0);
  EXPECT_FALSE(InkBox(shown).IsEmpty());
  EXPECT_NE(PixelsOf(shown), PixelsOf(boxes));
}

TEST(DrawText, FallbackFacesForOtherScripts) {
  if (SomeFontHas(0x0378)) GTEST_SKIP() << "U+0378 is expected to be in no font";
  ExpectRealGlyphs(u"Жизнь", u"\u0378\u0378\u0378\u0378\u0378");
  ExpectRealGlyphs(u"Ωμέγα", u"\u0378\u0378\u0378\u0378\u0378");
  // A bold Cyrillic caption differs from the regular one.
  EXPECT_NE(PixelsOf(Drawn(u"Жизнь", 0)), PixelsOf(Drawn(u"Жизнь", 0, 200, 40, 10, fsBold)));
}

TEST(DrawText, FallbackFaceForCjk) {
  if (SomeFontHas(0x0378)) GTEST_SKIP() << "U+0378 is expected to be in no font";
  if (!SomeFontHas(0x4E2D)) GTEST_SKIP() << "no CJK font installed";
  ExpectRealGlyphs(u"中文", u"\u0378\u0378");
}
#endif

TEST(DrawText, NamedFontAndUnknownNames) {
  // An unknown family still draws (fontconfig's best match), and so does a
  // name that is not UTF-8.
  TBitmap b = Canvas(200, 40);
  b.Canvas.Font.Name = "No Such Family Anywhere";
  EXPECT_GT(DrawTextW(b, u"Text", TRect{0, 0, 200, 40}, 0), 0);
  EXPECT_FALSE(InkBox(b).IsEmpty());
  TBitmap c = Canvas(200, 40);
  c.Canvas.Font.Name = "Bad\xff\xfe name";
  EXPECT_GT(DrawTextW(c, u"Text", TRect{0, 0, 200, 40}, 0), 0);
#ifndef _WIN32
  // The default's name is the bundled face; another installed family is
  // that family.
  auto drawn_in = [](const char* name) {
    TBitmap t = Canvas(200, 40);
    t.Canvas.Font.Name = name;
    DrawTextW(t, u"Text 123", TRect{0, 0, 200, 40}, 0);
    return PixelsOf(t);
  };
  EXPECT_EQ(drawn_in("ms sans serif"), drawn_in(""));
  if (!SomeFamilyInstalled("DejaVu Sans Mono")) GTEST_SKIP() << "DejaVu Sans Mono is not installed";
  EXPECT_NE(drawn_in("DejaVu Sans Mono"), drawn_in(""));
#endif
}

#ifndef _WIN32
TEST(BundledFace, LatinCaptionsNeedNoFontconfig) {
  // Windows-1252's letters, the punctuation captions use, and what text that
  // is not UTF-8 shows, in every style, under the default's name and cut.
  std::u16string latin;
  for (char16_t c = 0x20; c < 0x7F; ++c) latin += c;
  for (char16_t c = 0xA0; c < 0x180; ++c) latin += c;
  latin += u"ƒˆ˜‐–—‘’‚“”„†‡•…‰‹›€™\uFFFD";
  for (const TFont& font : {TFont{"", 10, 0, 0}, TFont{"", 8, 0, fsBold | fsItalic | fsUnderline},
                            TFont{"MS Sans Serif", 12, 0, 0}}) {
    TTextState state;
    const TTextLine whole = LayoutLine(state, font, latin, 0, -1);
    ASSERT_EQ(whole.Glyphs.size(), CaptionChars(latin, 0).size());
    for (const TPlacedGlyph& g : whole.Glyphs) {
      EXPECT_NE(g.Index, 0u);
      EXPECT_EQ(g.Font.Face, whole.Glyphs[0].Font.Face);
    }
    EXPECT_FALSE(LayoutLine(state, font, latin, tfNoPrefix, 50).Glyphs.empty());
    EXPECT_FALSE(state.Fonts.FontconfigStarted()) << font.Name << " " << font.Style;
  }
  // A character the face lacks is what asks fontconfig.
  TTextState state;
  LayoutLine(state, TFont{}, u"Жизнь", 0, -1);
  EXPECT_TRUE(state.Fonts.FontconfigStarted());
}
#endif

}  // namespace
}  // namespace portico
