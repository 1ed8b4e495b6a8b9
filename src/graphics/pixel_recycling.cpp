#include "graphics/pixel_recycling.h"

#include <mutex>

#include "system/memory_pages.h"

namespace portico {

namespace {

// Two buffers cover start-up: one waiting while another is in use.
constexpr size_t MaxKept = 2;
// Smaller buffers come from memory the allocator already has.
constexpr size_t MinPixels = 64 * 1024;

struct TRecycled {
  std::mutex Lock;
  bool On = false;
  std::vector<std::vector<uint32_t>> Kept;
};

// The decoding thread and the loader both make and drop bitmaps.
TRecycled& Recycled() {
  static TRecycled recycled;
  return recycled;
}

// Storage let go of earlier with room for `pixels` (size 0), or an empty
// vector when there is none or recycling is off.
std::vector<uint32_t> ReusedPixelStorage(size_t pixels) {
  TRecycled& r = Recycled();
  std::lock_guard<std::mutex> hold(r.Lock);
  // The smallest that fits, so a larger one stays for a larger bitmap.
  auto best = r.Kept.end();
  for (auto it = r.Kept.begin(); it != r.Kept.end(); ++it)
    if (it->capacity() >= pixels && (best == r.Kept.end() || it->capacity() < best->capacity())) best = it;
  if (best == r.Kept.end()) return {};
  std::vector<uint32_t> storage = std::move(*best);
  r.Kept.erase(best);
  storage.clear();
  return storage;
}

}  // namespace

void SetPixelRecycling(bool on) {
  std::vector<std::vector<uint32_t>> freed;
  TRecycled& r = Recycled();
  std::lock_guard<std::mutex> hold(r.Lock);
  r.On = on;
  if (!on) freed.swap(r.Kept);
}

std::vector<uint32_t> PixelStorageFor(size_t pixels) {
  std::vector<uint32_t> storage = ReusedPixelStorage(pixels);
  if (storage.capacity() >= pixels) return storage;
  storage.reserve(pixels);
  if (pixels >= MinPixels) PrepareForWriting(storage.data(), pixels * sizeof(uint32_t));
  return storage;
}

void RecyclePixelStorage(std::vector<uint32_t>&& storage) {
  std::vector<uint32_t> freed = std::move(storage);
  if (freed.capacity() < MinPixels) return;
  TRecycled& r = Recycled();
  std::lock_guard<std::mutex> hold(r.Lock);
  if (r.On && r.Kept.size() < MaxKept) r.Kept.push_back(std::move(freed));
}

}  // namespace portico
