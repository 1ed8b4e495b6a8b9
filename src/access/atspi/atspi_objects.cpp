#include "access/atspi/atspi_objects.h"

#include <charconv>
#include <initializer_list>

namespace portico {

namespace {
constexpr std::string_view FrameLeaf = "/frame";
constexpr std::string_view ControlLeaf = "/control";

AtspiStateSet Set(std::initializer_list<AtspiState> states) {
  AtspiStateSet set{};
  for (AtspiState s : states) set[s / 32] |= 1u << (s % 32);
  return set;
}
}  // namespace

std::string AtspiPath(const AtspiObject& object) {
  std::string path = AtspiPathPrefix;
  switch (object.Type) {
    case AtspiObject::Application: return path + "/root";
    case AtspiObject::Frame: return path.append(FrameLeaf);
    case AtspiObject::Control: return path.append(ControlLeaf) + std::to_string(object.Index);
  }
  return path;
}

std::optional<AtspiObject> AtspiObjectAt(std::string_view path, size_t control_count) {
  const std::string_view prefix = AtspiPathPrefix;
  if (path.substr(0, prefix.size()) != prefix) return std::nullopt;
  const std::string_view leaf = path.substr(prefix.size());
  if (leaf == "/root") return AtspiObject{AtspiObject::Application, 0};
  if (leaf == FrameLeaf) return AtspiObject{AtspiObject::Frame, 0};
  if (leaf.substr(0, ControlLeaf.size()) != ControlLeaf) return std::nullopt;
  const std::string_view digits = leaf.substr(ControlLeaf.size());
  size_t index = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
  // Digits only, in range, no leading zeros (one path per control).
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      (digits.size() > 1 && digits[0] == '0') || index >= control_count)
    return std::nullopt;
  return AtspiObject{AtspiObject::Control, index};
}

AtspiRole RoleOf(TAccessibleRole role) {
  switch (role) {
    case TAccessibleRole::Link: return AtspiRoleLink;
    case TAccessibleRole::Label: return AtspiRoleLabel;
    case TAccessibleRole::PushButton: break;
  }
  return AtspiRolePushButton;
}

const char* RoleName(AtspiRole role) {
  switch (role) {
    case AtspiRoleFrame: return "frame";
    case AtspiRoleLabel: return "label";
    case AtspiRolePushButton: return "push button";
    case AtspiRoleApplication: return "application";
    case AtspiRoleLink: return "link";
  }
  return "unknown";
}

bool HasState(const AtspiStateSet& set, AtspiState state) { return (set[state / 32] >> (state % 32)) & 1u; }

AtspiStateSet FrameStates(bool active) {
  AtspiStateSet set = Set({AtspiStateEnabled, AtspiStateSensitive, AtspiStateShowing, AtspiStateVisible});
  if (active) set[0] |= Set({AtspiStateActive})[0];
  return set;
}

AtspiStateSet ControlStates(const TAccessibleControl& control, bool focused) {
  AtspiStateSet set = Set({AtspiStateShowing, AtspiStateVisible});
  const auto add = [&](AtspiState s) { set[s / 32] |= 1u << (s % 32); };
  if (control.Enabled) {
    add(AtspiStateEnabled);
    add(AtspiStateSensitive);
  }
  if (control.Focusable) add(AtspiStateFocusable);
  if (focused) add(AtspiStateFocused);
  return set;
}

}  // namespace portico
