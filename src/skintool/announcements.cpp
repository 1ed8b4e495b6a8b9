#include "skintool/announcements.h"

#include "app/accessibility_names.h"
#include "skintool/names.h"

namespace portico {

namespace {
const char* RoleText(TAccessibleRole role) {
  switch (role) {
    case TAccessibleRole::Link:
      return "link";
    case TAccessibleRole::Label:
      return "label";
    case TAccessibleRole::PushButton:
      break;
  }
  return "push button";
}
}  // namespace

std::vector<std::string> DescribeAnnouncements(const TSkinProbe& probe, const std::string& version) {
  const TAccessibilityNames names(probe.Ini, probe.FileName);
  std::vector<std::string> lines{"window: " + Quoted(names.Window())};
  for (const TProbedLine& p : probe.Lines) {
    if (!p.Button) continue;
    const TAccessibleRole role = AccessibleRoleOf(p.Button->Name);
    std::string line = std::to_string(p.Line) + ": " + RoleText(role) + " " + Quoted(names.Control(p.Button->Name));
    if (role == TAccessibleRole::Label) line += ", text " + Quoted(AccessibleText(version));
    if (!p.Button->Enabled) line += ", unavailable";
    lines.push_back(line);
  }
  return lines;
}

}  // namespace portico
