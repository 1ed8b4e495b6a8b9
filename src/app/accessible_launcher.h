// The launcher's window as assistive technologies read it (access/
// accessible.h): the skin's controls in description order, named by the
// description's [ACCESSIBILITY] section, and the same keyboard focus and
// the same click as the keyboard's and the pointer's.
#pragma once
#include <string>

#include "access/accessible.h"
#include "app/accessibility_names.h"
#include "classlib/controls.h"
#include "skin/skin.h"

namespace portico {

class TAccessibleLauncher final : public TAccessibleWindow {
 public:
  // The form shows the skin in `image`; `version` is the text of
  // VersionCaption. All of them outlive this object.
  TAccessibleLauncher(TForm& form, TImage& image, TSkin& skin, TAccessibilityNames names, std::string version);

  std::string Name() const override { return names_.Window(); }
  WindowHandle Handle() const override;
  TRect ScreenBounds() const override;
  size_t ControlCount() const override { return skin_.Buttons.size(); }
  TAccessibleControl Control(size_t index) const override;
  int FocusedControl() const override { return skin_.FocusIndex(); }
  bool Active() const override;
  bool Click(size_t index) override { return skin_.InvokeButton(index); }

 private:
  TForm& form_;
  TImage& image_;
  TSkin& skin_;
  TAccessibilityNames names_;
  std::string version_;
};

}  // namespace portico
