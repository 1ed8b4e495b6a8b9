// What start-up prepares ahead of the code that needs it, and owns until
// then: the fonts (TTextPreparation) and, on a second thread while the
// window system connects, the description's state images (the
// pointer-over, pressed and disabled ones keeping only the controls'
// rectangles, all the launcher ever reads of them) and the mask's
// outline. The skin loader and the window's shape take the results in
// their own order, so every error still comes where it came before; what
// the thread could not do, or what no longer holds because a file or the
// description changed meanwhile, they do themselves. While it works,
// bitmaps pass their storage on to the next through its pixel pool.
#pragma once
#include <atomic>
#include <thread>

#include "app/window_shape.h"
#include "graphics/pixel_recycling.h"
#include "skin/load_image_file.h"
#include "text/draw_text.h"

namespace portico {

class TStartupPreparation {
 public:
  // Sets text drawing up.
  TStartupPreparation();
  // Finish().
  ~TStartupPreparation();
  TStartupPreparation(const TStartupPreparation&) = delete;
  TStartupPreparation& operator=(const TStartupPreparation&) = delete;

  // Starts the thread when the command line names a description the
  // launcher would read. The command line must be loaded. Once only.
  void StartDecoding();

  // What the skin loader and the window's shape take from.
  TPreparedImages& Images() { return images_; }
  TPreparedMasks& Masks() { return masks_; }

  // Waits until the thread has done all it was given (for those who
  // change the skin's files at a known point of start-up).
  void WaitForDecoding();

  // Ends the work ahead: the thread stops after the piece it is doing and
  // is joined, results nobody took are dropped, as is the pixel storage
  // kept for reuse. Safe to call more than once and when nothing was
  // started.
  void Finish();

 private:
  TTextPreparation text_;  // the caption face, opened before the skin loads
  TPixelPool pixels_;
  TPreparedImages images_;
  TPreparedMasks masks_;
  std::atomic<bool> stop_{false};
  // Two threads decoding ahead, each taking the next job in turn.
  std::thread worker_;
  std::thread second_worker_;
};

}  // namespace portico
