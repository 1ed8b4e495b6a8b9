// `portico-skin watch`'s measure: what lies under the pointer in the
// launcher's window, in the description's terms, found with the launcher's
// own hit test on the skin as the launcher loads it.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "skintool/skin_probe.h"
#include "skintool/window_cover.h"

namespace portico {

class TPointerReport {
 public:
  // Loads the description at `path` as the launcher does at scale 1.
  // Needs the global Application (headless will do).
  explicit TPointerReport(const std::string& path);

  // The scale factor a window of `size` pixels shows the skin at: how many
  // times the Normal image's width it is; none without a Normal image.
  std::optional<int> ScaleOf(TPoint size) const;

  // One line for the pointer at `at` in a window of `size` pixels: the
  // skin coordinates, the controls the hit test finds there (or what a
  // press does instead), and the Normal image's colour. Above scale 1 the
  // colour and the outline are those of the skin at that scale (the
  // images drawn for it when there are some), as the launcher shows them.
  std::string Describe(TPoint at, TPoint size) const;

 private:
  // The skin loaded at one scale, with its outline there (the cover reads
  // the mask in place: neither copied nor moved).
  struct TAtScale {
    TAtScale(const std::string& path, int k);
    TAtScale(const TAtScale&) = delete;
    TAtScale& operator=(const TAtScale&) = delete;
    const int Scale;
    const TSkinProbe Probe;
    std::optional<MaskRegion> Mask;
    std::unique_ptr<TWindowCover> Cover;
  };
  // The skin at scale k, loaded again when k changes.
  const TAtScale& AtScale(int k) const;

  const std::string path_;
  // At 1x: the controls and their hit test, in the description's pixels.
  const std::unique_ptr<const TAtScale> base_;
  // The latest scale other than 1 asked for.
  mutable std::unique_ptr<TAtScale> scaled_;
};

}  // namespace portico
