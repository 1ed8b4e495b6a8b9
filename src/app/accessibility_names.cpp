#include "app/accessibility_names.h"

#include "app/unit_install.h"
#include "classlib/ini_file.h"
#include "system/ascii.h"
#include "system/files.h"
#include "text/codepage.h"

namespace portico {

std::string AccessibleText(const std::string& text) { return ValidUtf8(text); }

std::string DescriptionStem(const std::string& description_name) {
  std::string name = FileNameOf(description_name);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

TAccessibilityNames::TAccessibilityNames(const TIniFile& ini, const std::string& description_name) {
  std::string window;
  if (!ReadIniString(&ini, AccessibilitySection, AccessibleWindowKey, window, ""))
    window = DescriptionStem(description_name);
  window_ = AccessibleText(window);
  std::vector<std::string> keys;
  ini.ReadSection(AccessibilitySection, keys);
  for (const std::string& key : keys) {
    if (SameIgnoringAsciiCase(key, AccessibleWindowKey)) continue;
    std::string value;
    // The reader answers a repeated key with its first value.
    if (ReadIniString(&ini, AccessibilitySection, key, value, "")) controls_.emplace_back(key, AccessibleText(value));
  }
}

const std::string* TAccessibilityNames::Entry(const std::string& control_name) const {
  if (SameIgnoringAsciiCase(control_name, AccessibleWindowKey)) return nullptr;
  for (const auto& [key, value] : controls_)
    if (SameIgnoringAsciiCase(key, control_name)) return &value;
  return nullptr;
}

std::string TAccessibilityNames::Control(const std::string& control_name) const {
  const std::string* entry = Entry(control_name);
  return entry ? *entry : AccessibleText(control_name);
}

TAccessibleRole AccessibleRoleOf(const std::string& control_name) {
  switch (IndexOfName(control_name, ButtonNames, ButtonRoleCount)) {
    case brVersionCaption:
      return TAccessibleRole::Label;
    case brUrl:
      return TAccessibleRole::Link;
    default:
      return TAccessibleRole::PushButton;
  }
}

}  // namespace portico
