// What kind of image a file holds, told by its first bytes: the formats
// the decoders read, and those a designer's editor may have written under
// a wrong name, so that a refusal can say what the file is.
#pragma once
#include <cstdint>
#include <span>

namespace portico {

enum class TImageFormat { Unknown, Bmp, Jpeg, Png, Gif, Tiff, WebP, Ico };

TImageFormat ImageFormatBySignature(std::span<const uint8_t> data);
// "PNG", "GIF", ...; "" for Unknown.
const char* ImageFormatName(TImageFormat format);

}  // namespace portico
