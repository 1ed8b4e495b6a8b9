// The images: state images as the loader took them, the arrow image it
// loads by fixed name, the mask the window takes its outline from, and the
// opacity image that outlines it where a compositing manager runs.
#include <algorithm>
#include <cstdint>

#include "app/window_opacity.h"
#include "system/files.h"
#include "image/bmp_decoder.h"
#include "image/image_file.h"
#include "system/errors.h"
#include "skintool/check_steps.h"
#include "skintool/measures.h"
#include "skintool/names.h"

namespace portico {

namespace {
std::string Size(int32_t w, int32_t h) { return std::to_string(w) + " x " + std::to_string(h); }

// Why a named file was not found, in the words of the launcher's rules.
std::string NotFound(const std::string& what, const std::string& value, const std::string& path) {
  std::string text =
      what + " " + Quoted(value) + " is not found (looked for " + ResolvePath(path) + ")";
  if (IsRootedName(value)) text += "; names are always taken relative to the skin folder";
  return text;
}

// How many pixels of an image file are not fully opaque: of a 32-bit
// bitmap's alpha channel (zero for a channel that is all 0, unused), of
// the transparency the decoder reports for other files (PNG).
uint64_t PixelsWithAlpha(const std::string& path) {
  try {
    const std::vector<uint8_t> bytes = ReadImageFileBytes(ResolvePath(path));
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
      TAlphaMap alpha;
      DecodeImage(bytes, path, nullptr, &alpha);
      return uint64_t(std::count_if(alpha.Values.begin(), alpha.Values.end(), [](uint8_t a) { return a != 0xFF; }));
    }
    const BmpRaster raster = ReadBmpRaster(bytes, path);
    if (raster.BitsPerPixel != 32) return 0;
    const uint32_t alpha = raster.AlphaMask
                               ? raster.AlphaMask
                               : ~(raster.RedMask | raster.GreenMask | raster.BlueMask);
    if (alpha == 0) return 0;
    uint64_t zero = 0, translucent = 0;
    for (uint32_t s : raster.Samples) {
      zero += (s & alpha) == 0;
      translucent += (s & alpha) != alpha;
    }
    return zero == raster.Samples.size() ? 0 : translucent;
  } catch (const EPlatformError&) {
    return 0;  // the loader has said what is wrong with it
  }
}

// An alpha channel the launcher ignores. Only the Normal image's is used,
// and only while [SCREEN] lacks Alpha or Mask (see NormalAlphaUsed).
void CheckAlpha(const std::string& what, const std::string& path, int line, uint64_t pixels,
                TFindingList& out) {
  const uint64_t ignored = PixelsWithAlpha(path);
  if (ignored == 0 || pixels == 0) return;
  out.Warn(line, "image-alpha",
           what + " has an alpha channel that makes " + PixelShare(ignored, pixels) +
               " transparent or translucent; the launcher ignores it and shows the "
               "colours as stored (translucency comes from [SCREEN] Alpha, or from the Normal "
               "image's own alpha when no Alpha is named)");
}

// The Normal image's alpha is the opacity without an Alpha image and the
// outline without a mask (app/window_shape.cpp).
bool NormalAlphaUsed(const TIniFile& ini) {
  return ini.ReadString("SCREEN", "Alpha", "").empty() || ini.ReadString("SCREEN", "Mask", "").empty();
}

// An image that is not the Normal image's size, and what that does.
void CheckSize(const std::string& what, int line, int32_t w, int32_t h, const TBitmap* normal,
               const char* if_smaller, const char* if_larger, TFindingList& out) {
  if (!normal || (w == normal->Width() && h == normal->Height())) return;
  const bool smaller = w < normal->Width() || h < normal->Height();
  out.Warn(line, "image-size",
           what + " is " + Size(w, h) + " but the Normal image is " +
               Size(normal->Width(), normal->Height()) + "; " + (smaller ? if_smaller : if_larger));
}

// What a missing state image means for the window.
const char* AbsentEffect(const std::string& key) {
  if (key == "Normal") return "the launcher makes no frame and no controls without it";
  if (key == "Over") return "controls keep their look under the pointer";
  if (key == "Down") return "controls show no pressed look";
  return nullptr;  // Disable is optional: disabled controls use Normal
}

void CheckStateImage(const TProbedImage& image, const TBitmap* normal, const TIniFile& ini,
                     int screen_line, TFindingList& out) {
  const std::string what = image.Key + " image";
  if (image.Value.empty()) {
    if (const char* effect = AbsentEffect(image.Key))
      out.Warn(image.Line ? image.Line : screen_line, "image-absent", "no " + what + ": " + effect);
    return;
  }
  if (image.Error) {
    out.Error(image.Line, "image-undecodable",
              what + " " + Quoted(image.Value) + " cannot be decoded: " + *image.Error +
                  "; the launcher shows this in a message and stops");
    return;
  }
  if (!image.Bitmap) {
    const char* effect = AbsentEffect(image.Key);
    const std::string then = effect ? std::string("; ") + effect : std::string();
    if (!FileExists(image.Path))
      out.Warn(image.Line, "image-missing", NotFound(what, image.Value, image.Path) + then);
    else
      out.Warn(image.Line, "image-empty",
               what + " " + Quoted(image.Value) +
                   " has no pixels, so the launcher goes without it" + then);
    return;
  }
  CheckSize(what, image.Line, image.Bitmap->Width(), image.Bitmap->Height(), normal,
            "controls reaching past its edge keep their old look there",
            "only its top-left part is used", out);
  if (image.Key == "Normal" && NormalAlphaUsed(ini)) return;
  CheckAlpha(what, image.Path, image.Line,
             uint64_t(image.Bitmap->Width()) * uint64_t(image.Bitmap->Height()), out);
}

void CheckMask(const TCheckInput& in, const TBitmap* normal, TFindingList& out) {
  const TIniFile& ini = in.Probe.Ini;
  const int line = ini.KeyLine("SCREEN", "Mask");
  const std::string value = ini.ReadString("SCREEN", "Mask", "");
  if (value.empty()) return;  // a plain rectangular window, as meant
  if (!in.Mask) {
    if (!FileExists(in.Probe.Skin->MaskFile))
      out.Warn(line, "mask-missing",
               NotFound("mask", value, in.Probe.Skin->MaskFile) +
                   "; the window stays a plain rectangle");
    else
      out.Warn(line, "mask-unreadable",
               "mask " + Quoted(value) + " gives no outline (" + in.MaskWhy +
                   "); the window stays a plain rectangle");
    return;
  }
  const MaskRegion& mask = *in.Mask;
  if (mask.Rects.empty())
    out.Warn(line, "mask-empty",
             "mask " + Quoted(value) + " is white all over and cuts the whole window away");
  CheckSize("mask", line, mask.Bound.Width(), mask.Bound.Height(), normal,
            "the window is cut to the mask's size",
            "the mask's parts beyond the picture are ignored", out);
  CheckAlpha("mask", in.Probe.Skin->MaskFile, line,
             uint64_t(mask.Bound.Width()) * uint64_t(mask.Bound.Height()), out);
}
// The opacity image: used only where a compositing manager runs, so
// whatever is wrong with it shows there alone.
void CheckOpacity(const TCheckInput& in, const TBitmap* normal, TFindingList& out) {
  const TIniFile& ini = in.Probe.Ini;
  const std::string value = ini.ReadString("SCREEN", "Alpha", "");
  if (value.empty() || !normal) return;
  const std::string& path = in.Probe.Skin->AlphaFile;
  const int line = ini.KeyLine("SCREEN", "Alpha");
  const char* fallback = "; where a compositing manager runs, the mask outlines the window instead";
  if (!FileExists(path)) {
    out.Warn(line, "alpha-missing", NotFound("opacity image", value, path) + fallback);
    return;
  }
  std::string why;
  if (!ReadAlphaMap(path, normal->Width(), normal->Height(), why))
    out.Warn(line, "alpha-unusable", "opacity image " + Quoted(value) + " is not used (" + why + ")" + fallback);
}
}  // namespace

void CheckImages(const TCheckInput& in, TFindingList& out) {
  const TBitmap* normal = in.Probe.Skin->BitmapNormal.get();
  for (const TProbedImage& image : in.Probe.Images) {
    if (!image.Key.empty()) {
      CheckStateImage(image, normal, in.Probe.Ini, in.Probe.Ini.SectionLine("SCREEN"), out);
    } else if (image.Error) {
      out.Error(0, "image-undecodable",
                "the arrow image the launcher loads by its fixed name, " + Quoted(image.Path) +
                    ", cannot be decoded: " + *image.Error +
                    "; the launcher shows this in a message and stops");
    }
  }
  CheckMask(in, normal, out);
  CheckOpacity(in, normal, out);
}

}  // namespace portico
