// Hints about fresh memory.
#pragma once
#include <cstddef>

namespace portico {

// Makes every page of a block that is about to be written whole, in one
// call, where touching them would meet one page fault each: several times
// faster for the frame-sized buffers of start-up. False where the system
// cannot (the pages then come one fault at a time, as without the call).
bool PrepareForWriting(void* memory, size_t bytes);

}  // namespace portico
