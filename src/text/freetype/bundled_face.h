// The face Linux captions are drawn in by default: Portico Sans, a Latin
// subset of DejaVu Sans (face/PorticoSans.ttf, made by
// tools/make_caption_face.sh; licence in face/LICENSE), compiled into the
// programs so that the first caption needs no font files and no fontconfig.
#pragma once
#include <cstddef>

namespace portico {

extern const unsigned char BundledFaceData[];
extern const size_t BundledFaceSize;

}  // namespace portico
