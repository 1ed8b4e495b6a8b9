// The window's outline from the skin's mask bitmap: one rectangle per
// horizontal run of window pixels.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/bmp_decoder.h"
#include "graphics/types.h"
#include "window/window_system.h"
#include "skin/prefetch_store.h"
#include "system/files.h"
#include "skin/skin.h"

namespace portico {

// A rectangle-list region: the header's bound and the rectangles, each one
// pixel row high, rows from the top and runs from the left.
struct MaskRegion {
  TRect Bound;
  std::vector<TRect> Rects;
};

// Builds the region of a mask already read: every pixel that is not the
// key colour (0x00BBGGRR) belongs to the window. The key is compared at
// the raster's own format: palette entries for <= 8 bits, the key reduced
// to the file's channel layout for 16 and 32 bits (channels wider than 8
// bits as the decoder scales them: 10-bit 0x3FF is 0xFF).
MaskRegion BuildMaskRegion(const BmpRaster& mask, TColor key_color);
// The same for a mask decoded to colours (PNG, JPEG): compared as 24 bits are.
MaskRegion BuildMaskRegion(const TBitmap& mask, TColor key_color);

// Reads the mask file (a BMP at its own format, any other image decoded)
// and builds its region; none when the file is missing, unreadable or no
// image, and then `why` (when given) says which.
std::optional<MaskRegion> CreateMaskRegion(const std::string& mask_path, TColor key_color,
                                           std::string* why = nullptr);

// A mask's region worked out ahead of start-up's need for it, with the
// file as it was before it was read.
struct TPreparedMask {
  std::optional<MaskRegion> Region;
  std::optional<TFileIdentity> File;
};
// Regions worked out ahead, by MaskPrefetchName.
using TPreparedMasks = TPrefetchStore<TPreparedMask>;
std::string MaskPrefetchName(const std::string& mask_path, TColor key_color);
// CreateMaskRegion for the work ahead, the file's identity taken first.
TPreparedMask PrepareMaskRegion(const std::string& mask_path, TColor key_color);

// The mask's region for a screen scale: at a `scale` above 1 the mask
// drawn for it when there is one, else the outline enlarged (each
// rectangle, bound included, `scale` times; rows `scale` high). A region
// worked out ahead (`prepared`) is taken when the mask file is still the
// one it was built from. None as for CreateMaskRegion. A mask drawn for
// the scale that is left out is said in `left_out` when given, else on
// stderr as the launcher says it.
std::optional<MaskRegion> MaskRegionAtScale(const std::string& mask_path, TColor key_color, int scale,
                                            TPreparedMasks* prepared = nullptr, std::string* left_out = nullptr);

// Gives the window the outline of MaskRegionAtScale (the plain rectangle
// when no region was built). Returns the window system's answer.
bool SetWindowMask(WindowHandle window, const std::string& mask_path, TColor key_color,
                   TPreparedMasks* prepared = nullptr, int scale = 1);

// The window's opacity where a compositing manager runs: the Alpha
// image's at the skin's scale, or with no Alpha named the Normal image's
// own alpha; none when neither gives one (the mask outlines the window
// then, as without a compositor). An Alpha image drawn for the scale that
// is left out is said as MaskRegionAtScale says it.
std::optional<TAlphaMap> CompositedOpacity(const TSkin& skin, std::string* left_out = nullptr);

// Gives the skin's host form its outline and, with a compositor, its
// opacity: the Alpha image's, else the Normal image's alpha; without a
// compositor the mask's outline, or with no mask named the Normal image's
// alpha at OutlineOpacity and above. False (and nothing done) without a
// host form.
bool ApplyWindowShape(TSkin& skin, TColor key_color, TPreparedMasks* prepared = nullptr);

}  // namespace portico
