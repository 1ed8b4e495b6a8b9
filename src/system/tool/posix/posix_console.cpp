// The console on POSIX systems: terminals take UTF-8 as it is written.
#include "system/tool/console.h"

namespace portico {

void UseUtf8Console() {}

}  // namespace portico
