// The window's outline from the skin's mask bitmap. Each format gets a
// cheap "is a window pixel" test decided once per mask, and the rows are
// scanned with plain pointer loops, so building the region of a large
// mask costs about as much as reading its samples once.
#include "app/window_shape.h"

#include <algorithm>
#include <array>
#include <bit>

#include "app/window_opacity.h"
#include "graphics/bitmap_scale.h"
#include "skin/scaled_image.h"
#include "classlib/application.h"
#include "system/files.h"
#include "image/image_file.h"
#include "system/errors.h"
#include "graphics/pixel_recycling.h"

namespace portico {

namespace {

// Rectangles added to the list each time it is full.
constexpr size_t RectGrowth = 50;

// Adds one rectangle, growing the list by a fixed step rather than by the
// vector's own doubling, so a mask with few runs per row keeps a small list.
inline void AddRect(std::vector<TRect>& rects, int32_t left, int32_t top, int32_t right) {
  if (rects.size() == rects.capacity()) rects.reserve(rects.capacity() + RectGrowth);
  rects.push_back(TRect{left, top, right, top + 1});
}

// Pixels looked at together: a block whose samples are all equal is
// classified by its first sample alone.
constexpr ptrdiff_t BlockPixels = 8;

// True when the block's samples are all equal. Written as a fixed-length
// reduction so the compiler turns it into a few vector compares.
inline bool UniformBlock(const uint32_t* p) {
  uint32_t diff = 0;
  for (ptrdiff_t i = 0; i < BlockPixels; ++i) diff |= p[i] ^ p[0];
  return diff == 0;
}

// Returns the first pixel from `p` whose class (window or not) differs
// from `window`, or `end`. Masks are mostly large areas of one sample, so
// whole uniform blocks are skipped; a mixed block is looked at pixel by pixel.
template <typename IsWindow>
inline const uint32_t* SkipClass(const uint32_t* p, const uint32_t* end, bool window,
                                 IsWindow is_window) {
  for (;;) {
    while (end - p >= BlockPixels && UniformBlock(p) && is_window(*p) == window) p += BlockPixels;
    const uint32_t* stop = end - p > BlockPixels ? p + BlockPixels : end;
    while (p != stop && is_window(*p) == window) ++p;
    if (p != stop || p == end) return p;
  }
}

// Scans every row for runs of pixels that `is_window` accepts and adds
// one rectangle per run.
template <typename IsWindow>
void ScanRuns(const uint32_t* samples, int32_t width, int32_t height, IsWindow is_window,
              std::vector<TRect>& rects) {
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = samples + static_cast<size_t>(y) * static_cast<size_t>(width);
    const uint32_t* end = row + width;
    const uint32_t* p = row;
    while (p != end) {
      p = SkipClass(p, end, false, is_window);
      if (p == end) break;
      const uint32_t* run = p;
      p = SkipClass(p, end, true, is_window);
      // A run that reaches the row's end closes at `width`, the last pixel included.
      AddRect(rects, static_cast<int32_t>(run - row), y, static_cast<int32_t>(p - row));
    }
  }
}

// Reduces one 8-bit key channel to the bits `mask` selects: its top N
// bits, N being the mask's bit count, moved to the mask's position.
uint32_t ReduceChannel(uint32_t value8, uint32_t mask) {
  if (mask == 0) return 0;
  const int bits = std::popcount(mask);
  const int shift = std::countr_zero(mask);
  const uint32_t top = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
  return (top << shift) & mask;
}

// The key (0x00RRGGBB) in the layout of a raster's channel masks, and the
// mask of its colour bits; alpha and unused bits are left out of both.
struct MaskedKey {
  uint32_t ColourBits;
  uint32_t Value;
};

// The channel masks of a 16- or 32-bit raster; masks the reader left at
// zero mean the format's default layout (5-5-5 or 8-8-8).
std::array<uint32_t, 3> ChannelMasks(const BmpRaster& mask) {
  if ((mask.RedMask | mask.GreenMask | mask.BlueMask) != 0) return {mask.RedMask, mask.GreenMask, mask.BlueMask};
  if (mask.BitsPerPixel == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0xFF0000, 0x00FF00, 0x0000FF};
}

// Builds the masked key for a raster whose channels are 8 bits or narrower.
MaskedKey KeyInChannelLayout(const std::array<uint32_t, 3>& m, uint32_t key_pixel) {
  const uint32_t value = ReduceChannel((key_pixel >> 16) & 0xFF, m[0]) |
                         ReduceChannel((key_pixel >> 8) & 0xFF, m[1]) |
                         ReduceChannel(key_pixel & 0xFF, m[2]);
  return MaskedKey{m[0] | m[1] | m[2], value};
}

// One key channel as the raw values that stand for it. A channel wider
// than 8 bits (10-bit fields) is scaled to 8 bits when the image is shown,
// so several raw values show as the key's byte (0x3FD...0x3FF as 0xFF):
// each of them is the key, as the picture shows it.
struct KeyChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Low = 0, High = 0;
  bool Holds(uint32_t s) const {
    const uint32_t v = (s & Mask) >> Shift;
    return Low <= v && v <= High;
  }
};

KeyChannel KeyChannelFor(uint32_t value8, uint32_t mask) {
  if (mask == 0) return KeyChannel{};
  KeyChannel c;
  c.Mask = mask;
  c.Shift = std::countr_zero(mask);
  if (std::popcount(mask) <= 8) {
    c.Low = c.High = ReduceChannel(value8, mask) >> c.Shift;
    return c;
  }
  // The decoder shows raw v as (v * 255 + max / 2) / max (image/bmp_decoder.cpp).
  const uint64_t max = mask >> c.Shift, k = value8;
  c.Low = k == 0 ? 0 : uint32_t((k * max - max / 2 + 254) / 255);
  c.High = uint32_t(std::min<uint64_t>(max, (k * max + max - 1 - max / 2) / 255));
  return c;
}

bool HasWideChannel(const std::array<uint32_t, 3>& m) {
  return std::popcount(m[0]) > 8 || std::popcount(m[1]) > 8 || std::popcount(m[2]) > 8;
}

}  // namespace

MaskRegion BuildMaskRegion(const BmpRaster& mask, TColor key_color) {
  MaskRegion region;
  const int32_t width = std::max<int32_t>(mask.Width, 0);
  const int32_t height = std::max<int32_t>(mask.Height, 0);
  region.Bound = TRect{0, 0, width, height};
  region.Rects.reserve(static_cast<size_t>(height));
  // A raster with fewer samples than its size claims has no pixels we trust.
  const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (pixels == 0 || mask.Samples.size() < pixels) return region;

  const uint32_t key_pixel = ColorToPixel(key_color);
  const uint32_t* samples = mask.Samples.data();
  switch (mask.BitsPerPixel) {
    case 1:
    case 2:
    case 4:
    case 8: {
      // Entry 256 answers every index past the table: such pixels are black.
      std::array<bool, 257> is_window{};
      for (size_t i = 0; i < is_window.size(); ++i)
        is_window[i] = (i < mask.Palette.size() ? mask.Palette[i] : 0u) != key_pixel;
      ScanRuns(samples, width, height,
               [&is_window](uint32_t s) { return is_window[std::min<uint32_t>(s, 256)]; },
               region.Rects);
      break;
    }
    case 16:
    case 32: {
      const std::array<uint32_t, 3> m = ChannelMasks(mask);
      if (HasWideChannel(m)) {
        const KeyChannel r = KeyChannelFor((key_pixel >> 16) & 0xFF, m[0]);
        const KeyChannel g = KeyChannelFor((key_pixel >> 8) & 0xFF, m[1]);
        const KeyChannel b = KeyChannelFor(key_pixel & 0xFF, m[2]);
        ScanRuns(samples, width, height,
                 [r, g, b](uint32_t s) { return !(r.Holds(s) && g.Holds(s) && b.Holds(s)); }, region.Rects);
        break;
      }
      const MaskedKey key = KeyInChannelLayout(m, key_pixel);
      ScanRuns(samples, width, height,
               [key](uint32_t s) { return (s & key.ColourBits) != key.Value; }, region.Rects);
      break;
    }
    case 24:
      ScanRuns(samples, width, height, [key_pixel](uint32_t s) { return s != key_pixel; },
               region.Rects);
      break;
    default:
      // An unknown format has no pixels we can compare.
      break;
  }
  return region;
}

MaskRegion BuildMaskRegion(const TBitmap& mask, TColor key_color) {
  MaskRegion region;
  region.Bound = TRect{0, 0, mask.Width(), mask.Height()};
  if (mask.Empty() || mask.Sparse()) return region;
  region.Rects.reserve(static_cast<size_t>(mask.Height()));
  const uint32_t key_pixel = ColorToPixel(key_color);
  ScanRuns(mask.Data(), mask.Width(), mask.Height(), [key_pixel](uint32_t s) { return s != key_pixel; },
           region.Rects);
  return region;
}

std::string MaskPrefetchName(const std::string& mask_path, TColor key_color) {
  return std::to_string(key_color) + ':' + mask_path;
}

TPreparedMask PrepareMaskRegion(const std::string& mask_path, TColor key_color) {
  TPreparedMask prepared;
  // Asked before reading: a save from here on changes what start-up finds.
  prepared.File = QueryFileIdentity(ResolvePath(mask_path));
  prepared.Region = CreateMaskRegion(mask_path, key_color);
  return prepared;
}

std::optional<MaskRegion> CreateMaskRegion(const std::string& mask_path, TColor key_color,
                                           std::string* why) {
  auto none = [why](std::string reason) {
    if (why) *why = std::move(reason);
    return std::nullopt;
  };
  if (mask_path.empty()) return none("no file named");
  const std::string path = ResolvePath(mask_path);
  // Only regular files: a FIFO or device could block or never end.
  if (!FileExists(path)) return none("no such file");
  try {
    const TImageFileBytes bytes(path);
    const std::span<const uint8_t> data = bytes.Data();
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') {
      // Other formats (PNG, JPEG) are decoded to colours: the key is
      // compared as with a 24-bit bitmap.
      const TBitmap image = DecodeImage(data, path);
      if (image.Empty()) return none("it has no pixels");
      return BuildMaskRegion(image, key_color);
    }
    BmpRaster mask = ReadBmpRaster(data, path);
    // A mask without pixels gives no outline, as one that cannot be read.
    if (mask.Samples.empty()) return none("it has no pixels");
    MaskRegion region = BuildMaskRegion(mask, key_color);
    RecyclePixelStorage(std::move(mask.Samples));
    return region;
  } catch (const EImageError& e) {
    // A mask that cannot be read leaves the window rectangular, silently.
    return none(e.Reason());
  } catch (const EPlatformError& e) {
    return none(e.what());
  }
}

namespace {
// The file drawn for the skin's scale in place of `path`, when there is one.
std::string FileAtScale(const std::string& path, int scale, std::string* left_out = nullptr) {
  std::string why;
  std::string scaled = ImageFileAtScale(path, scale, why);
  if (left_out)
    *left_out = why;
  else if (!why.empty())
    SayScaledImageLeftOut(why);
  return scaled;
}

// The opacity image at the skin's scale: the one drawn for it, or the 1x
// one enlarged.
std::optional<TAlphaMap> LoadScaledAlphaMap(const TSkin& skin, std::string* left_out) {
  const int k = skin.Scale;
  const int32_t width = skin.BitmapNormal->Width(), height = skin.BitmapNormal->Height();
  const std::string scaled = FileAtScale(skin.AlphaFile, k, left_out);
  if (!scaled.empty()) return LoadAlphaMap(scaled, width, height);
  std::optional<TAlphaMap> alpha = LoadAlphaMap(skin.AlphaFile, width / k, height / k);
  if (alpha && k > 1) *alpha = EnlargeAlphaMap(*alpha, k);
  return alpha;
}
}  // namespace

std::optional<TAlphaMap> CompositedOpacity(const TSkin& skin, std::string* left_out) {
  if (!skin.BitmapNormal) return std::nullopt;
  if (!skin.AlphaFile.empty()) return LoadScaledAlphaMap(skin, left_out);
  return skin.NormalAlpha;
}

std::optional<MaskRegion> MaskRegionAtScale(const std::string& mask_path, TColor key_color, int scale,
                                            TPreparedMasks* prepared, std::string* left_out) {
  if (scale > 1) {
    // A mask drawn for the scale outlines the window itself; the 1x mask's
    // outline is enlarged.
    const std::string scaled = FileAtScale(mask_path, scale, left_out);
    if (!scaled.empty()) return CreateMaskRegion(scaled, key_color);
  }
  std::optional<TPreparedMask> ahead;
  if (prepared) ahead = prepared->Take(MaskPrefetchName(mask_path, key_color));
  std::optional<MaskRegion> region;
  if (ahead && ahead->File == QueryFileIdentity(ResolvePath(mask_path)))
    region = std::move(ahead->Region);
  else
    region = CreateMaskRegion(mask_path, key_color);
  if (region && scale > 1) {
    region->Bound = ScaleRect(region->Bound, scale);
    region->Rects = ScaleRects(region->Rects, scale);
  }
  return region;
}

bool SetWindowMask(WindowHandle window, const std::string& mask_path, TColor key_color,
                   TPreparedMasks* prepared, int scale) {
  const std::optional<MaskRegion> region = MaskRegionAtScale(mask_path, key_color, scale, prepared);
  return SetWindowRgn(window, region ? &region->Rects : nullptr);
}

bool ApplyWindowShape(TSkin& skin, TColor key_color, TPreparedMasks* prepared) {
  if (!skin.HostForm) return false;
  const WindowHandle window = skin.HostForm->Handle();
  // Asked only when there is an opacity to use: on Windows Vista and 7
  // the question loads a library.
  const bool may_have_opacity = !skin.AlphaFile.empty() || skin.NormalAlpha;
  if (skin.BitmapNormal && may_have_opacity && IsCompositing()) {
    // With a compositor the opacity outlines the window: the opacity
    // image's, or without one the Normal image's own alpha. The mask is
    // the outline for displays that cannot blend.
    const std::optional<TAlphaMap> alpha = CompositedOpacity(skin);
    if (alpha && SetWindowOpacity(window, &*alpha)) {
      const std::vector<TRect> runs = OpaqueRuns(*alpha);
      return SetWindowRgn(window, &runs);
    }
  }
  if (skin.MaskFile.empty() && skin.NormalAlpha) {
    // No mask named: the Normal image's alpha outlines the window where it
    // cannot blend, every pixel at least half opaque.
    const std::vector<TRect> runs = OpaqueRuns(*skin.NormalAlpha, OutlineOpacity);
    return SetWindowRgn(window, &runs);
  }
  return SetWindowMask(window, skin.MaskFile, key_color, prepared, skin.Scale);
}

}  // namespace portico
