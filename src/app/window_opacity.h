// Soft edges: the skin's opacity image ([SCREEN] Alpha) on a display with
// a compositing manager. There it outlines the window in place of the
// mask: the window is every pixel with opacity above 0, drawn at its
// opacity. Without a compositor, or when the image is unusable, the mask
// outlines the window as before.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/types.h"

namespace portico {

// The opacity of each pixel of an image: its grey level (of a colour
// image, its luminance), 0 transparent ... 255 opaque.
TAlphaMap AlphaMapFromImage(const TBitmap& image);

// The window's outline from an opacity map: one rectangle per horizontal
// run of pixels with opacity `least` and above (above 0 by default).
std::vector<TRect> OpaqueRuns(const TAlphaMap& alpha, uint8_t least = 1);

// Where a display cannot blend, the pixels of the Normal image's alpha
// that belong to the window: those at least half opaque.
constexpr uint8_t OutlineOpacity = 128;

// Reads the opacity image; none when the file is missing, cannot be
// decoded or is not width x height pixels, and then `why` says which.
std::optional<TAlphaMap> ReadAlphaMap(const std::string& path, int32_t width, int32_t height,
                                      std::string& why);

// ReadAlphaMap for the launcher: the reason goes to stderr.
std::optional<TAlphaMap> LoadAlphaMap(const std::string& path, int32_t width, int32_t height);

}  // namespace portico
