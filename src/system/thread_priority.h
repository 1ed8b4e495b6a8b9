// Scheduling hints for helper threads.
#pragma once

namespace portico {

// The calling thread yields to the process's other threads (and to other
// processes at normal priority) when they compete for a processor: for
// work with slack, so that work on the critical path comes first.
void LowerThisThreadsPriority();

}  // namespace portico
