// The mask's colours as a designer draws them: the launcher cuts away
// exactly the pure white pixels and keeps every other one at full
// strength, so a white of 254 cuts nothing, the light grey of an
// anti-aliased edge stays as a jagged fringe, and a mask painted the
// wrong way round keeps the border and cuts the controls away.
#include <algorithm>
#include <optional>
#include <vector>

#include "image/image_file.h"
#include "system/errors.h"
#include "system/files.h"
#include "skintool/check_steps.h"
#include "skintool/measures.h"
#include "skintool/names.h"
#include "skintool/window_cover.h"

namespace portico {

namespace {
// A larger mask's colours are not looked at: decoding them again would
// take as much memory as the picture itself.
constexpr uint64_t MaxMaskPixels = uint64_t{32} * 1024 * 1024;

// Light enough to have been meant as cut away: every channel at half or more.
bool NearWhite(uint32_t rgb) {
  return (rgb >> 16 & 0xFF) >= 0x80 && (rgb >> 8 & 0xFF) >= 0x80 && (rgb & 0xFF) >= 0x80;
}

int Lightness(uint32_t rgb) {
  return int(rgb >> 16 & 0xFF) + int(rgb >> 8 & 0xFF) + int(rgb & 0xFF);
}

std::optional<TBitmap> DecodeMask(const std::string& path) {
  try {
    return DecodeImage(ReadImageFileBytes(ResolvePath(path)), path);
  } catch (const EPlatformError&) {
    return std::nullopt;  // the region could not be read either: said already
  }
}

void CheckNoWhite(const MaskRegion& mask, const TBitmap& colours, const std::string& name, int line,
                  TFindingList& out) {
  uint64_t kept = 0;
  for (const TRect& r : mask.Rects) kept += uint64_t(r.Width()) * uint64_t(r.Height());
  if (kept < uint64_t(mask.Bound.Width()) * uint64_t(mask.Bound.Height())) return;
  uint32_t lightest = 0;
  for (int32_t y = 0; y < colours.Height(); ++y)
    for (int32_t x = 0; x < colours.Width(); ++x)
      if (Lightness(colours.Pixel(x, y)) > Lightness(lightest)) lightest = colours.Pixel(x, y);
  if (!NearWhite(lightest)) return;  // drawn dark all over: meant to cut nothing
  out.Warn(line, "mask-no-white",
           "mask " + name +
               " has no pure white (#FFFFFF) pixel, so it cuts nothing away and the "
               "window stays a plain rectangle; its lightest colour is " +
               ColourText(lightest));
}

// The lightness most of the kept pixels have: what the designer painted
// the window with.
int KeptLightness(const TWindowCover& cover, const TBitmap& colours, int32_t w, int32_t h) {
  std::vector<uint64_t> histogram(3 * 255 + 1, 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if (cover.Keeps(x, y)) ++histogram[size_t(Lightness(colours.Pixel(x, y)))];
  return int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
}

// Kept pixels next to a cut one, light enough to have been meant as cut
// and lighter than the window's own colour in the mask.
void CheckFringe(const TWindowCover& cover, const TBitmap& colours, const TBitmap& normal,
                 const std::string& name, int line, TFindingList& out) {
  const int32_t w = std::min(colours.Width(), normal.Width());
  const int32_t h = std::min(colours.Height(), normal.Height());
  const int painted = KeptLightness(cover, colours, w, h);
  uint64_t count = 0, red = 0, green = 0, blue = 0;
  TPoint first;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t colour = colours.Pixel(x, y);
      if (!cover.Keeps(x, y) || !NearWhite(colour) || Lightness(colour) <= painted) continue;
      const bool edge = (x > 0 && !cover.Keeps(x - 1, y)) ||
                        (x + 1 < w && !cover.Keeps(x + 1, y)) ||
                        (y > 0 && !cover.Keeps(x, y - 1)) || (y + 1 < h && !cover.Keeps(x, y + 1));
      if (!edge) continue;
      if (count++ == 0) first = TPoint{x, y};
      const uint32_t shown = normal.Pixel(x, y);
      red += shown >> 16 & 0xFF, green += shown >> 8 & 0xFF, blue += shown & 0xFF;
    }
  if (count == 0) return;
  const uint32_t average =
      uint32_t(red / count) << 16 | uint32_t(green / count) << 8 | uint32_t(blue / count);
  out.Warn(line, "mask-fringe",
           "mask " + name + " keeps " + std::to_string(count) +
               " light grey pixel(s) along the edge of its cut-away part, for example at " +
               PointText(first.X, first.Y) + " (" + ColourText(colours.Pixel(first.X, first.Y)) +
               "): only pure white is cut, so there the window shows the Normal image in full (on "
               "average " +
               ColourText(average) +
               "), a jagged fringe; draw the mask's edge in pure white and black only, and soft "
               "edges with [SCREEN] Alpha");
}

// Every control that answers somewhere answers only under the cut-away
// part, while what is kept runs along all four edges of the window.
void CheckInverted(const TCheckInput& in, const TWindowCover& cover, const std::string& name,
                   int line, TFindingList& out) {
  const THitMap& map = ControlHitMap(in);
  size_t answering = 0;
  for (size_t i = 0; i < map.Size(); ++i) {
    if (!map.Traced(i)) return;
    if (map.HitCount(i) == 0) continue;
    ++answering;
    const TRect& a = map.Area(i);
    for (int32_t y = a.Top; y < a.Bottom; ++y)
      for (int32_t x = a.Left; x < a.Right; ++x)
        if (map.Hit(i, x, y) && cover.Keeps(x, y)) return;
  }
  if (answering == 0) return;
  const TBitmap& normal = *in.Probe.Skin->BitmapNormal;
  const int32_t w = normal.Width(), h = normal.Height();
  bool top = false, bottom = false, left = false, right = false;
  for (int32_t x = 0; x < w; ++x) top |= cover.Keeps(x, 0), bottom |= cover.Keeps(x, h - 1);
  for (int32_t y = 0; y < h; ++y) left |= cover.Keeps(0, y), right |= cover.Keeps(w - 1, y);
  if (!(top && bottom && left && right)) return;
  out.Warn(line, "mask-inverted",
           "mask " + name + " looks inverted: all " + std::to_string(answering) +
               " control(s) lie under its white (cut-away) part and what it keeps is the "
               "window's border; white is cut away, every other colour is window");
}
}  // namespace

void CheckMaskColours(const TCheckInput& in, TFindingList& out) {
  const TSkin& skin = *in.Probe.Skin;
  if (!in.Mask || !skin.BitmapNormal) return;
  if (uint64_t(std::max(in.Mask->Bound.Width(), 0)) *
          uint64_t(std::max(in.Mask->Bound.Height(), 0)) >
      MaxMaskPixels)
    return;
  const std::optional<TBitmap> colours = DecodeMask(skin.MaskFile);
  if (!colours || colours->Width() <= 0 || colours->Height() <= 0) return;
  const int line = in.Probe.Ini.KeyLine("SCREEN", "Mask");
  const std::string name = Quoted(in.Probe.Ini.ReadString("SCREEN", "Mask", ""));
  CheckNoWhite(*in.Mask, *colours, name, line, out);
  const TWindowCover cover(in.Mask);
  CheckFringe(cover, *colours, *skin.BitmapNormal, name, line, out);
  CheckInverted(in, cover, name, line, out);
}

}  // namespace portico
