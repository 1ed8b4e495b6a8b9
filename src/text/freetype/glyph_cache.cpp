#include "text/freetype/glyph_cache.h"

#include FT_OUTLINE_H
#include FT_SYNTHESIS_H

#include <algorithm>

namespace portico {

namespace {

constexpr size_t MaxEntries = 4096;
constexpr size_t MaxBytes = size_t{32} << 20;
constexpr int64_t MaxGlyphArea = int64_t{16} << 20;

// Largest sensible extent of a glyph image at a pixel size: beyond it a
// font is broken or hostile and the glyph is skipped.
int64_t ExtentLimit(int32_t pixels) { return int64_t{pixels} * 4 + 256; }

// Loads a glyph into the face's slot at the size, with faked bold/italic.
bool LoadGlyph(const TFontRef& font, int32_t pixels, unsigned index) {
  if (!font.Face->UseSize(pixels)) return false;
  FT_Face face = font.Face->Face();
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) != 0) return false;
  if (font.Oblique) FT_GlyphSlot_Oblique(face->glyph);
  if (font.Embolden) FT_GlyphSlot_Embolden(face->glyph);
  return true;
}

// Copies a rendered FreeType bitmap into coverage bytes.
std::shared_ptr<const TGlyphBitmap> CopyCoverage(const FT_GlyphSlot slot, int32_t pixels) {
  const FT_Bitmap& b = slot->bitmap;
  const int64_t limit = ExtentLimit(pixels);
  if (b.width == 0 || b.rows == 0 || !b.buffer) return nullptr;
  if (b.width > limit || b.rows > limit || std::abs(int64_t{slot->bitmap_left}) > limit ||
      std::abs(int64_t{slot->bitmap_top}) > limit || int64_t{b.width} * b.rows > MaxGlyphArea)
    return nullptr;
  auto out = std::make_shared<TGlyphBitmap>();
  out->Left = slot->bitmap_left;
  out->Top = slot->bitmap_top;
  out->Width = int32_t(b.width);
  out->Height = int32_t(b.rows);
  out->Coverage.resize(size_t(b.width) * b.rows);
  const int grays = b.num_grays > 1 ? b.num_grays - 1 : 255;
  for (unsigned y = 0; y < b.rows; ++y) {
    // A negative pitch means the rows are stored bottom-up.
    const unsigned char* row = b.pitch >= 0 ? b.buffer + size_t(y) * size_t(b.pitch)
                                            : b.buffer + size_t(b.rows - 1 - y) * size_t(-int64_t{b.pitch});
    uint8_t* dst = out->Coverage.data() + size_t(y) * b.width;
    for (unsigned x = 0; x < b.width; ++x) {
      switch (b.pixel_mode) {
        case FT_PIXEL_MODE_MONO:
          dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
          break;
        case FT_PIXEL_MODE_GRAY:
          dst[x] = uint8_t(grays == 255 ? row[x] : std::min(255, row[x] * 255 / grays));
          break;
        case FT_PIXEL_MODE_BGRA:
          dst[x] = row[x * 4 + 3];
          break;  // colour glyphs: their alpha
        default:
          return nullptr;
      }
    }
  }
  return out;
}

// Renders the glyph now in the slot; null when it has no (sane) image.
std::shared_ptr<const TGlyphBitmap> RenderSlot(FT_GlyphSlot slot, int32_t pixels) {
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    // Refuse outlines whose image would be absurd before FreeType allocates it.
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    const int64_t limit = ExtentLimit(pixels) * 64;
    if (int64_t{box.xMax} - box.xMin > limit || int64_t{box.yMax} - box.yMin > limit ||
        std::abs(int64_t{box.xMin}) > limit || std::abs(int64_t{box.yMax}) > limit ||
        ((int64_t{box.xMax} - box.xMin) >> 6) * ((int64_t{box.yMax} - box.yMin) >> 6) > MaxGlyphArea)
      return nullptr;
  }
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
    return nullptr;
  return CopyCoverage(slot, pixels);
}

}  // namespace

size_t TGlyphCache::TKeyHash::operator()(const TKey& k) const {
  uint64_t h = (uint64_t(uint32_t(k.Face)) << 32) ^ (uint64_t(uint32_t(k.Pixels)) << 20) ^ k.Fake;
  h ^= uint64_t(k.Index) * 0x9E3779B97F4A7C15ull;
  return size_t(h ^ (h >> 29));
}

void TGlyphCache::MakeRoom(size_t bytes) {
  // Captions use few glyphs: dropping everything on overflow is simpler
  // than tracking use and costs one re-render per glyph.
  if (entries_.size() >= MaxEntries || bytes_ + bytes > MaxBytes) {
    entries_.clear();
    bytes_ = 0;
  }
}

TGlyphCache::TEntry& TGlyphCache::Find(const TFontRef& font, int32_t pixels, unsigned index) {
  const TKey key{font.Face->Id(), pixels, index, (font.Embolden ? 1u : 0u) | (font.Oblique ? 2u : 0u)};
  auto found = entries_.find(key);
  if (found != entries_.end()) return found->second;
  MakeRoom(sizeof(TEntry) + 64);
  TEntry entry;
  if (LoadGlyph(font, pixels, index))
    entry.Advance = int32_t(font.Face->Face()->glyph->advance.x);
  else
    entry.Rendered = true;  // nothing to render later either
  bytes_ += sizeof(TEntry) + 64;
  return entries_.emplace(key, std::move(entry)).first->second;
}

int32_t TGlyphCache::Advance(const TFontRef& font, int32_t pixels, unsigned index) {
  return Find(font, pixels, index).Advance;
}

std::shared_ptr<const TGlyphBitmap> TGlyphCache::Bitmap(const TFontRef& font, int32_t pixels,
                                                        unsigned index) {
  TEntry* entry = &Find(font, pixels, index);
  if (entry->Rendered) return entry->Image;
  std::shared_ptr<const TGlyphBitmap> image;
  if (LoadGlyph(font, pixels, index)) image = RenderSlot(font.Face->Face()->glyph, pixels);
  const size_t bytes = image ? image->Coverage.size() : 0;
  if (bytes_ + bytes > MaxBytes) {
    MakeRoom(bytes);
    entry = &Find(font, pixels, index);
  }
  entry->Rendered = true;
  entry->Image = image;
  bytes_ += bytes;
  return image;
}

}  // namespace portico
