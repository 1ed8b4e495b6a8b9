// An image's size read from its header alone, without decoding it: for
// choosing between images drawn for different screen scales.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "graphics/types.h"

namespace portico {

// Width and height of a BMP, JPEG or PNG image; none when the header is
// missing, cut short or not one of these.
std::optional<TPoint> ImageSizeOf(std::span<const uint8_t> data);
// ImageSizeOf for a file; none when it cannot be read.
std::optional<TPoint> ImageFileSize(const std::string& path);

}  // namespace portico
