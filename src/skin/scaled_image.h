// The skin at a screen scale of k: which file an image is taken from.
// `NAME.EXT` is drawn k times larger in `NAME@kx.EXT` beside it; a 1x
// image is enlarged by pixel repetition when there is none.
#pragma once
#include <string>

namespace portico {

// "dir/NAME@kx.EXT" for "dir/NAME.EXT" (the suffix goes before the file
// name's last dot, or at its end when it has none).
std::string ScaledImagePath(const std::string& path, int k);

// The file drawn for scale k of the image at `path`: its ScaledImagePath
// when that is a file exactly k times the 1x image's size; empty
// otherwise (k 1, no such file, or one of another size: then `why` says
// it is left out and why).
std::string ImageFileAtScale(const std::string& path, int k, std::string& why);

// Says on stderr that an image drawn for the scale is left out (`why`).
void SayScaledImageLeftOut(const std::string& why);

}  // namespace portico
