#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "system/memory_pages.h"

// Linux 5.14 and later; older kernels refuse the advice.
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace portico {

bool PrepareForWriting(void* memory, size_t bytes) {
  // Only whole pages inside the block: the advice needs page alignment.
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(memory) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(memory) + bytes) & ~(page - 1);
  if (end <= begin) return false;
  // In steps: the call holds the process's memory map for reading while it
  // works, and another thread growing its heap waits for it meanwhile.
  constexpr uintptr_t Step = 64 * 1024;
  for (uintptr_t at = begin; at < end; at += Step) {
    const uintptr_t length = end - at < Step ? end - at : Step;
    if (madvise(reinterpret_cast<void*>(at), length, MADV_POPULATE_WRITE) != 0) return false;
  }
  return true;
}

}  // namespace portico
