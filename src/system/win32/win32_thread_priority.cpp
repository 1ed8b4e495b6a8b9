#include <windows.h>

#include "system/thread_priority.h"

namespace portico {

void LowerThisThreadsPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

}  // namespace portico
