#include "system/memory_pages.h"

namespace portico {

// Windows has no such request for committed memory; pages come as touched.
bool PrepareForWriting(void*, size_t) { return false; }

}  // namespace portico
