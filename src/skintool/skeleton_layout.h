// `portico-skin new`: where a new skin's controls go, and the description
// that names them and the guide images.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "graphics/types.h"

namespace portico {

// The window sizes a skeleton is made for: room for its four controls,
// and no larger than a picture anyone paints by hand.
constexpr int32_t MinSkeletonWidth = 240, MinSkeletonHeight = 160;
constexpr int32_t MaxSkeletonSide = 4096;

// "WIDTHxHEIGHT" in digits (an "X" will do); none for anything else or a
// size out of the range above.
std::optional<TPoint> ParseSkeletonSize(const std::string& text);

struct TSkeletonControl {
  std::string Name;
  TRect Bounds;  // Right and Bottom exclusive, as drawn
};

// Install and Exit at the bottom right, URL at the bottom left, the
// version box at the top right, each sized to the window within limits.
std::vector<TSkeletonControl> LayOutSkeleton(int32_t width, int32_t height);

// The margin the layout keeps to the window's edges (the mask's rounded
// corners stay inside it).
int32_t SkeletonMargin(int32_t width, int32_t height);

// The files a skeleton named `name` consists of, the description first.
struct TSkeletonFiles {
  std::string Description, Normal, Over, Down, Disable, Mask;
};
TSkeletonFiles SkeletonFileNames(const std::string& name);

// The description of the skeleton, as the launcher reads it.
std::string SkeletonDescription(const std::string& name, const TSkeletonFiles& files,
                                const std::vector<TSkeletonControl>& controls);

}  // namespace portico
