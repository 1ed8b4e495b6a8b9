// The objects the service shows a screen reader, as AT-SPI names them:
// the application, its one frame and a child per control; their object
// paths, roles and states. Free of D-Bus, so it can be tested alone.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "access/accessible.h"

namespace portico {

struct AtspiObject {
  enum Kind { Application, Frame, Control };
  Kind Type = Application;
  size_t Index = 0;  // a control's index
  friend bool operator==(const AtspiObject&, const AtspiObject&) = default;
};

// Every object lives under this path; the application is its "root".
inline constexpr const char* AtspiPathPrefix = "/org/a11y/atspi/accessible";
inline constexpr const char* AtspiNullPath = "/org/a11y/atspi/null";

std::string AtspiPath(const AtspiObject& object);
// The object at a path, for a window of control_count controls; none for
// paths that name nothing (a control since gone, a made-up path).
std::optional<AtspiObject> AtspiObjectAt(std::string_view path, size_t control_count);

// AT-SPI's role numbers (AtspiRole) for what we show, and their names.
enum AtspiRole : uint32_t { AtspiRoleFrame = 23, AtspiRoleLabel = 29, AtspiRolePushButton = 43,
                            AtspiRoleApplication = 75, AtspiRoleLink = 88 };
AtspiRole RoleOf(TAccessibleRole role);
const char* RoleName(AtspiRole role);

// AT-SPI's state numbers (AtspiStateType) we set; a state set is 64 bits,
// sent as two 32-bit words.
enum AtspiState : uint32_t { AtspiStateActive = 1, AtspiStateEnabled = 8, AtspiStateFocusable = 11,
                             AtspiStateFocused = 12, AtspiStateSensitive = 24, AtspiStateShowing = 25,
                             AtspiStateVisible = 30 };
using AtspiStateSet = std::array<uint32_t, 2>;
bool HasState(const AtspiStateSet& set, AtspiState state);

AtspiStateSet FrameStates(bool active);
AtspiStateSet ControlStates(const TAccessibleControl& control, bool focused);

}  // namespace portico
