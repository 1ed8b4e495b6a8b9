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
// to the file's channel layout for 16 bits, colour bytes for 24 and 32.
MaskRegion BuildMaskRegion(const BmpRaster& mask, TColor key_color);

// Reads the mask file and builds its region; none when the file is
// missing, unreadable or not a bitmap, and then `why` (when given) says which.
std::optional<MaskRegion> CreateMaskRegion(const std::string& mask_path, TColor key_color,
                                           std::string* why = nullptr);

// A CreateMaskRegion worked out ahead of start-up's need for it, with the
// reason for no region.
struct TMaskOutcome {
  std::optional<MaskRegion> Region;
  std::string Why;
};
// Mask regions worked out ahead, by MaskPrefetchName; CreateMaskRegion
// takes one from here when it is there.
TPrefetchStore<TMaskOutcome>& PrefetchedMaskRegions();
std::string MaskPrefetchName(const std::string& mask_path, TColor key_color);

// CreateMaskRegion without looking for a region worked out ahead.
std::optional<MaskRegion> ReadMaskRegion(const std::string& mask_path, TColor key_color,
                                         std::string* why = nullptr);

// Gives the window the mask's outline (the plain rectangle when no region
// was built). Returns the window system's answer.
bool SetWindowMask(WindowHandle window, const std::string& mask_path, TColor key_color);

// Gives the skin's host form the outline of the skin's mask file; false
// (and nothing done) without a host form.
bool ApplyWindowShape(TSkin& skin, TColor key_color);

}  // namespace portico
