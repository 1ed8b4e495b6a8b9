#include "text/freetype/font_library.h"

#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "graphics/bitmap.h"
#include "system/ascii.h"
#include "text/freetype/bundled_face.h"

namespace portico {

namespace {

constexpr size_t MaxSizesPerFace = 8;
constexpr size_t MaxFamilies = 64;
constexpr size_t MaxFallbacksPerFamily = 4096;
// What the default face is called in skins, and what stands in for it.
constexpr const char* DefaultFamily = "MS Sans Serif";
constexpr const char* GenericFamily = "sans-serif";

int32_t CeilPixels(int64_t v26) { return int32_t((v26 + 63) >> 6); }
int32_t RoundPixels(int64_t v26) { return int32_t((v26 + 32) >> 6); }

bool WantsBold(unsigned style) { return (style & fsBold) != 0; }
bool WantsItalic(unsigned style) { return (style & fsItalic) != 0; }

// Whether a canvas font name means the default face, which is the bundled
// one. Skins leave the name empty; "MS Sans Serif" is what the class
// library calls that same default (the Windows build draws in it), and
// font names compare without regard to case there and in fontconfig. A
// name that is not UTF-8 cannot be asked of fontconfig and has always
// stood for the default. Any other name is a family the skin wants from
// the installed fonts, which only fontconfig can find, so it is asked then.
bool MeansDefaultFace(const std::string& name) {
  if (name.empty() || SameIgnoringAsciiCase(name, DefaultFamily)) return true;
  int chars = 0, width = 0;  // FcUtf8Len only reads the bytes
  return FcUtf8Len(reinterpret_cast<const FcChar8*>(name.c_str()), int(name.size()), &chars, &width) != FcTrue;
}

// fontconfig's state belongs to the process, while each TFontLibrary
// starts it on its own need: the last library using it releases it (so
// leak checkers see a clean exit), never one while another still holds
// its patterns.
std::mutex fontconfig_users_lock;
int fontconfig_users = 0;

bool UseFontconfig() {
  std::lock_guard<std::mutex> hold(fontconfig_users_lock);
  if (FcInit() != FcTrue) return false;
  ++fontconfig_users;
  return true;
}

void ReleaseFontconfig() {
  std::lock_guard<std::mutex> hold(fontconfig_users_lock);
  if (--fontconfig_users == 0) FcFini();
}

// Builds the fontconfig query for a family name and style, substituted
// and ready for matching or sorting.
FcPattern* MakeRequest(const std::string& name, unsigned style) {
  FcPattern* p = FcPatternCreate();
  if (!p) return nullptr;
  FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(GenericFamily));
  FcPatternAddInteger(p, FC_WEIGHT, WantsBold(style) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(p, FC_SLANT, WantsItalic(style) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, p, FcMatchPattern);
  FcDefaultSubstitute(p);
  return p;
}

}  // namespace

TFontFace::~TFontFace() { FT_Done_Face(face_); }  // also frees its sizes

bool TFontFace::UseSize(int32_t pixels) {
  if (active_ < sizes_.size() && sizes_[active_].Pixels == pixels) {
    sizes_[active_].LastUse = ++clock_;
    return true;
  }
  for (size_t i = 0; i < sizes_.size(); ++i) {
    if (sizes_[i].Pixels != pixels) continue;
    if (FT_Activate_Size(sizes_[i].Size) != 0) return false;
    active_ = i;
    sizes_[i].LastUse = ++clock_;
    return true;
  }
  // Keep a few sizes per face: a skin uses two or three.
  if (sizes_.size() >= MaxSizesPerFace) {
    auto oldest = std::min_element(sizes_.begin(), sizes_.end(),
                                   [](const TSize& a, const TSize& b) { return a.LastUse < b.LastUse; });
    FT_Done_Size(oldest->Size);
    sizes_.erase(oldest);
  }
  active_ = SIZE_MAX;
  TSize size;
  size.Pixels = pixels;
  if (FT_New_Size(face_, &size.Size) != 0) return false;
  if (FT_Activate_Size(size.Size) != 0 || !ApplyPixels(pixels)) {
    FT_Done_Size(size.Size);
    return false;
  }
  size.Metrics = MeasureActiveSize(pixels);
  size.LastUse = ++clock_;
  sizes_.push_back(size);
  active_ = sizes_.size() - 1;
  return true;
}

bool TFontFace::ApplyPixels(int32_t pixels) {
  if (FT_IS_SCALABLE(face_)) return FT_Set_Pixel_Sizes(face_, 0, FT_UInt(pixels)) == 0;
  // A bitmap-only face: take the strike nearest to the wanted size.
  if (face_->num_fixed_sizes <= 0 || !face_->available_sizes) return false;
  int best = 0;
  int64_t best_distance = INT64_MAX;
  for (int i = 0; i < face_->num_fixed_sizes; ++i) {
    const int64_t d = std::llabs(int64_t{face_->available_sizes[i].y_ppem} - int64_t{pixels} * 64);
    if (d < best_distance) {
      best_distance = d;
      best = i;
    }
  }
  return FT_Select_Size(face_, best) == 0;
}

TFaceMetrics TFontFace::MeasureActiveSize(int32_t pixels) const {
  const FT_Size_Metrics& m = face_->size->metrics;
  TFaceMetrics out;
  out.Ascent = std::max(1, CeilPixels(m.ascender));
  out.Descent = std::max(0, CeilPixels(-int64_t{m.descender}));
  const int32_t fallback_thickness = std::max(1, (pixels + 7) / 14);
  out.UnderlineThickness = fallback_thickness;
  out.StrikeThickness = fallback_thickness;
  int32_t underline_top = 1;
  // About half the x-height: where a strike line sits without better data.
  out.StrikeTop = std::max(1, out.Ascent * 3 / 10 + fallback_thickness / 2);
  if (FT_IS_SCALABLE(face_)) {
    const int64_t thickness = FT_MulFix(face_->underline_thickness, m.y_scale);
    const int64_t centre = FT_MulFix(face_->underline_position, m.y_scale);  // negative: below
    if (thickness > 0) out.UnderlineThickness = std::clamp(RoundPixels(thickness), 1, pixels);
    underline_top = RoundPixels(-centre) - out.UnderlineThickness / 2;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0 && os2->yStrikeoutPosition > 0) {
      out.StrikeThickness = std::clamp(RoundPixels(FT_MulFix(os2->yStrikeoutSize, m.y_scale)), 1, pixels);
      out.StrikeTop = std::clamp(RoundPixels(FT_MulFix(os2->yStrikeoutPosition, m.y_scale)), 1, out.Ascent);
    }
  }
  // Keep the underline under the baseline and, where there is room, inside the line.
  out.UnderlineTop = std::clamp(underline_top, 1, std::max(1, out.Descent - out.UnderlineThickness));
  return out;
}

TFontFamily::~TFontFamily() {
  if (Sorted) FcFontSetDestroy(Sorted);
  if (Request) FcPatternDestroy(Request);
}

TFontLibrary::TFontLibrary() {
  if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
}

TFontLibrary::~TFontLibrary() {
  families_.clear();  // their fontconfig patterns before fontconfig goes
  faces_.clear();
  bundled_.reset();  // faces before the library that owns them
  if (library_) FT_Done_FreeType(library_);
  if (fontconfig_ready_) ReleaseFontconfig();
}

TFontFace* TFontLibrary::BundledFace() {
  if (!bundled_tried_ && library_) {
    bundled_tried_ = true;
    FT_Face ft = nullptr;
    if (FT_New_Memory_Face(library_, BundledFaceData, FT_Long(BundledFaceSize), 0, &ft) == 0)
      bundled_ = std::make_unique<TFontFace>(ft, next_face_id_++);
  }
  return bundled_.get();
}

TFontFace* TFontLibrary::OpenFace(const std::string& file, int index) {
  auto key = std::make_pair(file, index);
  auto found = faces_.find(key);
  if (found != faces_.end()) return found->second.get();
  std::unique_ptr<TFontFace> face;
  FT_Face ft = nullptr;
  if (library_ && FT_New_Face(library_, file.c_str(), index, &ft) == 0) {
    face = std::make_unique<TFontFace>(ft, next_face_id_++);
  }
  // A file that fails stays remembered as failed, so it is not retried.
  TFontFace* result = face.get();
  faces_.emplace(std::move(key), std::move(face));
  return result;
}

bool TFontLibrary::StartFontconfig() {
  if (!fontconfig_tried_) {
    fontconfig_tried_ = true;
    fontconfig_ready_ = UseFontconfig();
  }
  return fontconfig_ready_;
}

FcPattern* TFontLibrary::RequestFor(TFontFamily& family) {
  if (!family.Request && StartFontconfig()) family.Request = MakeRequest(family.Query, family.Style);
  return family.Request;
}

TFontRef TFontLibrary::RefFor(FcPattern* font, unsigned style) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) return {};
  int index = 0;
  FcPatternGetInteger(font, FC_INDEX, 0, &index);
  TFontRef ref;
  ref.Face = OpenFace(reinterpret_cast<const char*>(file), index);
  if (!ref.Face) return {};
  int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(font, FC_SLANT, 0, &slant);
  ref.Embolden = WantsBold(style) && weight < FC_WEIGHT_DEMIBOLD;
  ref.Oblique = WantsItalic(style) && slant == FC_SLANT_ROMAN;
  return ref;
}

TFontFamily* TFontLibrary::Family(const std::string& name, unsigned style) {
  if (!library_) return nullptr;
  style &= fsBold | fsItalic;  // the only bits that pick a face
  const bool bundled = MeansDefaultFace(name);
  auto key = std::make_pair(bundled ? std::string() : name, style);
  auto found = families_.find(key);
  if (found != families_.end()) return found->second->Primary ? found->second.get() : nullptr;
  if (families_.size() >= MaxFamilies) families_.clear();

  auto family = std::make_unique<TFontFamily>();
  family->Query = bundled ? DefaultFamily : name;
  family->Style = style;
  if (!bundled) {
    if (FcPattern* request = RequestFor(*family)) {
      FcResult result = FcResultNoMatch;
      if (FcPattern* match = FcFontMatch(nullptr, request, &result)) {
        family->Primary = RefFor(match, style);
        FcPatternDestroy(match);
      }
      // The best match would not open: take the first that does.
      if (!family->Primary) {
        family->SortTried = true;
        family->Sorted = FcFontSort(nullptr, request, FcTrue, nullptr, &result);
        for (int i = 0; family->Sorted && i < family->Sorted->nfont && !family->Primary; ++i)
          family->Primary = RefFor(family->Sorted->fonts[i], style);
      }
    }
  }
  // The bundled face, with bold and italic made by FreeType: the default,
  // and what a named family gets when fontconfig has nothing that opens.
  if (!family->Primary) {
    family->Primary.Face = BundledFace();
    family->Primary.Embolden = WantsBold(style);
    family->Primary.Oblique = WantsItalic(style);
  }
  TFontFamily* result = family->Primary ? family.get() : nullptr;
  families_.emplace(std::move(key), std::move(family));
  return result;
}

TFontRef TFontLibrary::ForChar(TFontFamily& family, char32_t code) {
  auto found = family.Fallbacks.find(code);
  if (found != family.Fallbacks.end()) return found->second;
  if (!family.SortTried) {
    family.SortTried = true;
    FcResult result = FcResultNoMatch;
    if (FcPattern* request = RequestFor(family))
      family.Sorted = FcFontSort(nullptr, request, FcTrue, nullptr, &result);
  }
  TFontRef ref;
  for (int i = 0; family.Sorted && i < family.Sorted->nfont && !ref; ++i) {
    FcPattern* font = family.Sorted->fonts[i];
    FcCharSet* chars = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) != FcResultMatch || !chars ||
        !FcCharSetHasChar(chars, code))
      continue;
    // The fallback face gets the requested look too, faked where it lacks it.
    TFontRef candidate = RefFor(font, family.Style);
    if (candidate && candidate.Face->GlyphIndex(code) != 0) ref = candidate;
  }
  if (family.Fallbacks.size() >= MaxFallbacksPerFamily) family.Fallbacks.clear();
  family.Fallbacks.emplace(code, ref);
  return ref;
}

}  // namespace portico
