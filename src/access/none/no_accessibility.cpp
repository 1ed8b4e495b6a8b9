// Where no accessibility service is built, nothing serves the window.
#include "access/accessible.h"

namespace portico {

std::unique_ptr<TAccessibilityService> StartAccessibility(TAccessibleWindow&, WindowSystem&) { return nullptr; }

}  // namespace portico
