// Advances and rendered coverage of glyphs, kept in a bounded cache per
// (face, pixel size, glyph, faked style).
#pragma once
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "text/freetype/font_library.h"

namespace portico {

// An antialiased glyph image: one coverage byte (0..255) per pixel.
struct TGlyphBitmap {
  int32_t Left = 0;  // from the pen position to the first column
  int32_t Top = 0;   // from the baseline up to the first row
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Coverage;  // Width * Height, rows top-down
};

// Glyphs of one TFontLibrary's faces (keyed by face id). Not thread-safe:
// callers serialise.
class TGlyphCache {
 public:
  // Pen advance of a glyph in 26.6 pixels; 0 when it cannot be loaded.
  int32_t Advance(const TFontRef& font, int32_t pixels, unsigned index);
  // The glyph's image; null when it has no ink or is unreasonably large.
  std::shared_ptr<const TGlyphBitmap> Bitmap(const TFontRef& font, int32_t pixels, unsigned index);

 private:
  struct TKey {
    int Face;
    int32_t Pixels;
    unsigned Index;
    unsigned Fake;
    friend bool operator==(const TKey&, const TKey&) = default;
  };
  struct TKeyHash {
    size_t operator()(const TKey& k) const;
  };
  struct TEntry {
    int32_t Advance = 0;
    bool Rendered = false;
    std::shared_ptr<const TGlyphBitmap> Image;
  };
  TEntry& Find(const TFontRef& font, int32_t pixels, unsigned index);
  void MakeRoom(size_t bytes);

  std::unordered_map<TKey, TEntry, TKeyHash> entries_;
  size_t bytes_ = 0;
};

}  // namespace portico
