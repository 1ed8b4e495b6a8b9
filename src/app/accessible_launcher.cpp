#include "app/accessible_launcher.h"

#include <utility>

#include "classlib/application.h"
#include "graphics/bitmap_scale.h"

namespace portico {

TAccessibleLauncher::TAccessibleLauncher(TForm& form, TImage& image, TSkin& skin, TAccessibilityNames names,
                                         std::string version)
    : form_(form), image_(image), skin_(skin), names_(std::move(names)), version_(AccessibleText(version)) {}

WindowHandle TAccessibleLauncher::Handle() const {
  // No new window is made for the asking: 0 once it is gone.
  return form_.HandleAllocated() ? form_.Handle() : 0;
}

TRect TAccessibleLauncher::ScreenBounds() const {
  return TRect{form_.Left, form_.Top, form_.Left + form_.Width, form_.Top + form_.Height};
}

TAccessibleControl TAccessibleLauncher::Control(size_t index) const {
  TAccessibleControl c;
  if (index >= skin_.Buttons.size() || !skin_.Buttons[index]) return c;
  const TSkinButton& b = *skin_.Buttons[index];
  c.Name = names_.Control(b.Name);
  c.Role = AccessibleRoleOf(b.Name);
  // The skin's frame sits in the image, at the image's place in the form.
  // At a screen scale of k the frame is k times the description's size.
  const TRect r = ScaleRect(b.RegionBounds(), skin_.Scale);
  c.Bounds = TRect{r.Left + image_.Left, r.Top + image_.Top, r.Right + image_.Left, r.Bottom + image_.Top};
  c.Enabled = b.Enabled;
  // Tab reaches every enabled control, and only those.
  c.Focusable = b.Enabled;
  if (c.Role == TAccessibleRole::Label) c.Text = version_;
  return c;
}

bool TAccessibleLauncher::Active() const {
  return form_.HandleAllocated() && form_.Handle() == GetForegroundWindow();
}

}  // namespace portico
