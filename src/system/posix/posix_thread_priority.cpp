#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "system/thread_priority.h"

namespace portico {

void LowerThisThreadsPriority() {
  // On Linux a nice value belongs to a thread, named by its thread id.
  // Only lowering: an unprivileged process may not raise it back, and
  // failing changes nothing but the order.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
}

}  // namespace portico
