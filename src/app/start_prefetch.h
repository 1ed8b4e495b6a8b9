// Start-up work done ahead on a second thread: while the window system
// connects, the description's state images are decoded (the pointer-over,
// pressed and disabled ones keeping only the controls' rectangles, all the
// launcher ever reads of them) and the mask's outline is built. The skin
// loader takes the results as it gets to them, in its own order, so every
// error still comes where it came before; anything the thread could not
// do the loader does itself. Until it ends, bitmaps pass their storage on
// to the next (see graphics/pixel_recycling.h).
#pragma once

namespace portico {

class TStartPrefetch {
 public:
  // Starts the thread when the command line names a description the
  // launcher would read. The command line must be loaded.
  TStartPrefetch();
  ~TStartPrefetch();
  TStartPrefetch(const TStartPrefetch&) = delete;
  TStartPrefetch& operator=(const TStartPrefetch&) = delete;

  // Ends the work ahead: the thread stops after the piece it is doing and
  // is joined, and results nobody took are dropped, as is pixel storage
  // kept for reuse. Safe to call more than once and when nothing was
  // started.
  static void Finish();
};

}  // namespace portico
