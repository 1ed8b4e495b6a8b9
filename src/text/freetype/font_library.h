// Faces for captions, opened with FreeType and kept for the library's
// life: captions are redrawn on every hover, so nothing is looked up twice.
// The default face is the bundled one, opened from memory; fontconfig is
// started only for a family a skin names or a character that face lacks.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace portico {

// Line metrics of one face at one pixel size, in whole pixels.
struct TFaceMetrics {
  int32_t Ascent = 1;        // above the baseline
  int32_t Descent = 0;       // below the baseline, positive
  int32_t UnderlineTop = 1;  // first underline row, below the baseline
  int32_t UnderlineThickness = 1;
  int32_t StrikeTop = 1;  // first strike row, above the baseline
  int32_t StrikeThickness = 1;
};

// One open font (bundled, or a file and face index) with the pixel sizes in use.
class TFontFace {
 public:
  TFontFace(FT_Face face, int id) : face_(face), id_(id) {}
  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  int Id() const { return id_; }
  FT_Face Face() const { return face_; }
  // Makes `pixels` the active size, creating it on first use; false when
  // the face cannot be set to any size.
  bool UseSize(int32_t pixels);
  // Metrics of the active size.
  const TFaceMetrics& Metrics() const { return sizes_[active_].Metrics; }
  // The glyph for a code point, 0 when the face lacks it.
  unsigned GlyphIndex(char32_t code) const { return FT_Get_Char_Index(face_, code); }

 private:
  struct TSize {
    int32_t Pixels = 0;
    FT_Size Size = nullptr;
    TFaceMetrics Metrics;
    uint64_t LastUse = 0;
  };
  bool ApplyPixels(int32_t pixels);
  TFaceMetrics MeasureActiveSize(int32_t pixels) const;

  FT_Face face_;
  int id_;
  std::vector<TSize> sizes_;
  size_t active_ = SIZE_MAX;
  uint64_t clock_ = 0;
};

// A face plus the styling FreeType must fake because the file lacks it.
struct TFontRef {
  TFontFace* Face = nullptr;
  bool Embolden = false;
  bool Oblique = false;
  explicit operator bool() const { return Face != nullptr; }
  friend bool operator==(const TFontRef&, const TFontRef&) = default;
};

// What one (family name, style) request resolved to, and its fallbacks.
struct TFontFamily {
  TFontFamily() = default;
  ~TFontFamily();
  TFontFamily(const TFontFamily&) = delete;
  TFontFamily& operator=(const TFontFamily&) = delete;

  std::string Query;   // the family fontconfig is asked for
  unsigned Style = 0;  // fsBold and fsItalic bits
  TFontRef Primary;
  FcPattern* Request = nullptr;  // the substituted query, made on first need
  FcFontSet* Sorted = nullptr;   // fonts in order of preference, made on first need
  bool SortTried = false;
  std::unordered_map<char32_t, TFontRef> Fallbacks;  // empty ref: no font has it
};

// The FreeType library, the open faces and, once needed, fontconfig. Not
// thread-safe: callers serialise (DrawTextW holds a lock).
class TFontLibrary {
 public:
  TFontLibrary();
  ~TFontLibrary();
  TFontLibrary(const TFontLibrary&) = delete;
  TFontLibrary& operator=(const TFontLibrary&) = delete;

  // The family for a name (empty: the default face) and TFontStyle bits;
  // null when no font can be opened at all. Valid until the next call.
  TFontFamily* Family(const std::string& name, unsigned style);
  // A face of the family's fallback list that has `code`; an empty ref
  // when none has it (the caller then shows the primary's missing glyph).
  TFontRef ForChar(TFontFamily& family, char32_t code);
  // Whether this library has asked fontconfig anything yet.
  bool FontconfigStarted() const { return fontconfig_tried_; }

 private:
  TFontFace* BundledFace();
  TFontFace* OpenFace(const std::string& file, int index);
  TFontRef RefFor(FcPattern* font, unsigned style);
  bool StartFontconfig();
  FcPattern* RequestFor(TFontFamily& family);

  FT_Library library_ = nullptr;
  int next_face_id_ = 1;
  std::unique_ptr<TFontFace> bundled_;
  bool bundled_tried_ = false;
  bool fontconfig_tried_ = false;
  bool fontconfig_ready_ = false;
  std::map<std::pair<std::string, int>, std::unique_ptr<TFontFace>> faces_;  // null: failed
  std::map<std::pair<std::string, unsigned>, std::unique_ptr<TFontFamily>> families_;
};

}  // namespace portico
