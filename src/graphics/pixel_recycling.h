// Pixel storage handed from one bitmap to the next while the skin loads.
//
// Start-up decodes several images of the window's size one after another,
// keeps only a few rectangles of most of them, then copies one into the
// frame. Each of those full-size buffers would otherwise land on fresh
// pages, and touching a fresh page costs far more than writing one already
// touched. While a pool is installed, the storage KeepOnly lets go of
// waits there for the next bitmap that needs as much.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace portico {

// The storage kept for reuse. Whoever runs start-up owns one and installs
// it for as long as start-up lasts; without one installed, storage is
// simply made and freed. It goes only once no other thread that makes or
// drops bitmaps can still be using it.
class TPixelPool {
 public:
  TPixelPool() = default;
  ~TPixelPool() { Uninstall(); }
  TPixelPool(const TPixelPool&) = delete;
  TPixelPool& operator=(const TPixelPool&) = delete;

  // From now on the storage bitmaps let go of waits here (one pool at a
  // time: the latest installed).
  void Install();
  // Ends that and frees what is kept. Safe when not installed.
  void Uninstall();

  // Kept storage with room for `pixels` (size 0), or an empty vector.
  std::vector<uint32_t> Reuse(size_t pixels);
  // Keeps storage while installed and there is room; frees it otherwise.
  void Offer(std::vector<uint32_t>&& storage);

 private:
  // The loader and the thread decoding ahead both make and drop bitmaps.
  std::mutex lock_;
  bool installed_ = false;
  std::vector<std::vector<uint32_t>> kept_;
};

// Storage for at least `pixels` pixels about to be written: reused from
// the installed pool when it has some, otherwise new and, when large,
// with its pages made at once (PrepareForWriting).
std::vector<uint32_t> PixelStorageFor(size_t pixels);

// Offers storage no longer needed to the installed pool; freed otherwise.
void RecyclePixelStorage(std::vector<uint32_t>&& storage);

}  // namespace portico
