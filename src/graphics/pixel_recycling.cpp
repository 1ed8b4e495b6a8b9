#include "graphics/pixel_recycling.h"

#include <atomic>

#include "system/memory_pages.h"

namespace portico {

namespace {

// Two buffers cover start-up: one waiting while another is in use.
constexpr size_t MaxKept = 2;
// Smaller buffers come from memory the allocator already has.
constexpr size_t MinPixels = 64 * 1024;

// The pool installed now; it owns what it keeps, this only points at it.
std::atomic<TPixelPool*> InstalledPool{nullptr};

}  // namespace

void TPixelPool::Install() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    installed_ = true;
  }
  InstalledPool.store(this);
}

void TPixelPool::Uninstall() {
  TPixelPool* self = this;
  InstalledPool.compare_exchange_strong(self, nullptr);
  std::vector<std::vector<uint32_t>> freed;
  std::lock_guard<std::mutex> hold(lock_);
  // Storage offered by a thread that found the pool just before is refused.
  installed_ = false;
  freed.swap(kept_);
}

std::vector<uint32_t> TPixelPool::Reuse(size_t pixels) {
  std::lock_guard<std::mutex> hold(lock_);
  // The smallest that fits, so a larger one stays for a larger bitmap.
  auto best = kept_.end();
  for (auto it = kept_.begin(); it != kept_.end(); ++it)
    if (it->capacity() >= pixels && (best == kept_.end() || it->capacity() < best->capacity())) best = it;
  if (best == kept_.end()) return {};
  std::vector<uint32_t> storage = std::move(*best);
  kept_.erase(best);
  storage.clear();
  return storage;
}

void TPixelPool::Offer(std::vector<uint32_t>&& storage) {
  std::vector<uint32_t> freed = std::move(storage);
  if (freed.capacity() < MinPixels) return;
  std::lock_guard<std::mutex> hold(lock_);
  if (installed_ && kept_.size() < MaxKept) kept_.push_back(std::move(freed));
}

std::vector<uint32_t> PixelStorageFor(size_t pixels) {
  TPixelPool* pool = InstalledPool.load();
  std::vector<uint32_t> storage = pool ? pool->Reuse(pixels) : std::vector<uint32_t>();
  if (storage.capacity() >= pixels) return storage;
  storage.reserve(pixels);
  if (pixels >= MinPixels) PrepareForWriting(storage.data(), pixels * sizeof(uint32_t));
  return storage;
}

void RecyclePixelStorage(std::vector<uint32_t>&& storage) {
  // Taken over here, so the caller's vector is empty either way.
  std::vector<uint32_t> offered = std::move(storage);
  if (TPixelPool* pool = InstalledPool.load()) pool->Offer(std::move(offered));
}

}  // namespace portico
