#include "skin/scaled_image.h"

#include <cstdio>

#include "image/image_size.h"
#include "system/files.h"

namespace portico {

namespace {
std::string SizeText(TPoint size) { return std::to_string(size.X) + "x" + std::to_string(size.Y); }
}  // namespace

std::string ScaledImagePath(const std::string& path, int k) {
  const size_t slash = path.find_last_of("/\\");
  const size_t name = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < name || dot == name) dot = path.size();
  return path.substr(0, dot) + "@" + std::to_string(k) + "x" + path.substr(dot);
}

std::string ImageFileAtScale(const std::string& path, int k, std::string& why) {
  why.clear();
  if (k <= 1 || path.empty()) return {};
  const std::string scaled = ScaledImagePath(path, k);
  const std::string resolved = ResolvePath(scaled);
  if (!FileExists(resolved)) return {};
  const std::optional<TPoint> small = ImageFileSize(ResolvePath(path));
  const std::optional<TPoint> big = ImageFileSize(resolved);
  if (!small) return {};  // the 1x image meets its own error where it is loaded
  const TPoint want{int32_t(int64_t{small->X} * k), int32_t(int64_t{small->Y} * k)};
  if (big && *big == want) return scaled;
  why = FileNameOf(scaled) + (big ? " is " + SizeText(*big) : std::string(" cannot be read")) + ", not " +
        SizeText(want) + " (" + std::to_string(k) + " times " + FileNameOf(path) + "): left out, " +
        FileNameOf(path) + " enlarged in its place";
  return {};
}

void SayScaledImageLeftOut(const std::string& why) {
  std::fprintf(stderr, "portico: %s\n", why.c_str());
  std::fflush(stderr);
}

}  // namespace portico
