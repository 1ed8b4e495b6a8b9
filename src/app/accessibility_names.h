// What a screen reader reads for the launcher's window and controls: the
// optional [ACCESSIBILITY] section of the description, and the role each
// control's name gives it. The one place of these rules, for the launcher
// and the tools that explain a skin.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "access/accessible.h"

namespace portico {

class TIniFile;

inline constexpr const char* AccessibilitySection = "ACCESSIBILITY";
// The key that names the window; every other key names a control.
inline constexpr const char* AccessibleWindowKey = "Window";

class TAccessibilityNames {
 public:
  TAccessibilityNames() = default;
  // Reads [ACCESSIBILITY] of a description; `description_name` is the
  // description's file name as given on the command line.
  TAccessibilityNames(const TIniFile& ini, const std::string& description_name);

  // The window's name: the section's Window, else the description's file
  // name without folders and extension ("skin.ini" is "skin").
  const std::string& Window() const { return window_; }
  // What a control is announced as: the value of the section's key of
  // its name (names compare as the profile reader compares keys, without
  // regard to ASCII case; an empty value is none), else its name. A
  // control named Window has no key of its own: Window names the window.
  std::string Control(const std::string& control_name) const;
  // Whether the section names the control (else it is announced by its
  // own name).
  bool HasEntry(const std::string& control_name) const { return Entry(control_name) != nullptr; }

 private:
  const std::string* Entry(const std::string& control_name) const;

  std::string window_;
  // The section's control keys and their values, in file order, the
  // value of a repeated key being the first one's (as the reader gives).
  std::vector<std::pair<std::string, std::string>> controls_;
};

// The role a control's name gives it: "VersionCaption" a label (its text
// is the version), "URL" a link, every other name a push button.
TAccessibleRole AccessibleRoleOf(const std::string& control_name);

// The description file's name without folders (either separator) and
// without its last extension; a leading dot starts no extension.
std::string DescriptionStem(const std::string& description_name);

// Text as assistive technologies take it: valid UTF-8, every invalid or
// truncated sequence of the description's bytes becoming U+FFFD.
std::string AccessibleText(const std::string& text);

}  // namespace portico
