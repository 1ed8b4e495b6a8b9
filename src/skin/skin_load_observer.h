// What the skin loader decides while it reads a description, for tools
// that explain a skin to its author. The launcher passes no observer.
#pragma once
#include <string>

#include "graphics/bitmap.h"
#include "system/errors.h"
#include "skin/control_line.h"
#include "skin/skin_button.h"

namespace portico {

// Why the loader made no control of a [BUTTONPOS] key.
enum class TLineSkip {
  None,          // a control was made
  EmptyValue,    // the key has no value
  NoName,        // the line starts with a comma
  TooFewFields,  // the name and four numbers did not all scan
  WidthBelowOne,
  HeightBelowOne,
  EdgeBeyond32Bits,  // x + width or y + height does not fit 32 bits
};

// Every call reports a decision the loader has already made; nothing the
// loader does depends on the observer except where ContinueAfterImageError
// says so.
class TSkinLoadObserver {
 public:
  virtual ~TSkinLoadObserver() = default;
  // An image was loaded: a state image by its [SCREEN] key, or the arrow
  // image (key empty). `path` is what LoadImageFile was given; `bitmap` is
  // null when the image is absent.
  virtual void ImageLoaded(const std::string& /*key*/, const std::string& /*path*/,
                           const TBitmap* /*bitmap*/) {}
  // Loading raised `error`. True goes on without the image, so that a tool
  // sees the rest of the skin; false (and no observer) lets the error leave
  // construction, as the launcher needs.
  virtual bool ContinueAfterImageError(const std::string& /*key*/, const std::string& /*path*/,
                                       const EImageError& /*error*/) {
    return false;
  }
  // An image drawn for the screen's scale (NAME@kx.EXT) is not used:
  // `why` says which and why (its size is not k times the 1x image's).
  virtual void ScaledImageLeftOut(const std::string& /*key*/, const std::string& /*why*/) {}
  // One [BUTTONPOS] key was read: its value, the scan, and the control
  // made (null when `skip` says why none was).
  virtual void ControlLineRead(const std::string& /*key*/, const std::string& /*value*/,
                               const ControlLine& /*scan*/, TLineSkip /*skip*/,
                               const TSkinButton* /*button*/) {}
};

}  // namespace portico
