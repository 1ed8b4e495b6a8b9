// org.a11y.atspi.Component: where the frame and the controls are. Screen
// coordinates come from the window's place at the time of the call.
#include <cstring>

#include "access/atspi/atspi_message.h"
#include "access/atspi/atspi_service.h"

namespace portico {

namespace {
// AT-SPI's coordinate types and the layers we use.
enum : uint32_t { CoordScreen = 0, CoordWindow = 1, CoordParent = 2 };
enum : uint32_t { LayerWidget = 3, LayerWindow = 7 };
}  // namespace

DBusMessage* AtspiService::Component(DBusMessage* call, const AtspiObject& object) {
  const char* member = dbus_message_get_member(call);
  const auto is = [&](const char* name) { return std::strcmp(member, name) == 0; };
  // The object's rectangle in the coordinates the caller asks for: the
  // window's and the parent's are the same for a control (the frame is the
  // window's client area) and start at 0, 0 for the frame.
  const auto rect_in = [&](uint32_t coords) {
    TRect r = ScreenRect(object);
    if (coords == CoordWindow || coords == CoordParent) {
      const TRect window = window_.ScreenBounds();
      r = TRect{r.Left - window.Left, r.Top - window.Top, r.Right - window.Left, r.Bottom - window.Top};
    }
    return r;
  };
  DBusMessage* reply = nullptr;
  if (is("GetExtents") || is("GetPosition")) {
    uint32_t coords = CoordScreen;
    if (!ReadArgs(call, DBUS_TYPE_UINT32, &coords, DBUS_TYPE_INVALID)) return nullptr;
    const TRect r = rect_in(coords);
    if (!(reply = dbus_message_new_method_return(call))) return nullptr;
    DBusMessageIter iter, fields;
    dbus_message_iter_init_append(reply, &iter);
    if (is("GetExtents")) {
      dbus_message_iter_open_container(&iter, DBUS_TYPE_STRUCT, nullptr, &fields);
      for (int32_t v : {r.Left, r.Top, r.Width(), r.Height()}) AppendInt(&fields, v);
      dbus_message_iter_close_container(&iter, &fields);
    } else {
      AppendInt(&iter, r.Left);
      AppendInt(&iter, r.Top);
    }
    return reply;
  }
  if (is("GetSize")) {
    const TRect r = ScreenRect(object);
    if (!(reply = dbus_message_new_method_return(call))) return nullptr;
    DBusMessageIter iter;
    dbus_message_iter_init_append(reply, &iter);
    AppendInt(&iter, r.Width());
    AppendInt(&iter, r.Height());
    return reply;
  }
  if (is("Contains") || is("GetAccessibleAtPoint")) {
    int32_t x = 0, y = 0;
    uint32_t coords = CoordScreen;
    if (!ReadArgs(call, DBUS_TYPE_INT32, &x, DBUS_TYPE_INT32, &y, DBUS_TYPE_UINT32, &coords, DBUS_TYPE_INVALID))
      return nullptr;
    const bool inside = rect_in(coords).Contains(x, y);
    if (is("Contains")) return ReplyBool(call, inside);
    // The frame answers with the control there (the last drawn is on
    // top), a control with itself; nothing outside.
    AtspiReference found{dbus_bus_get_unique_name(connection_.get()), AtspiNullPath};
    if (inside && object.Type == AtspiObject::Control) found = Reference(object);
    if (inside && object.Type == AtspiObject::Frame) {
      const TRect frame = rect_in(coords);
      for (size_t i = 0, n = window_.ControlCount(); i < n; ++i)
        if (window_.Control(i).Bounds.Contains(x - frame.Left, y - frame.Top))
          found = Reference(AtspiObject{AtspiObject::Control, i});
    }
    return ReplyReference(call, found);
  }
  if (is("GetLayer")) {
    const uint32_t layer = object.Type == AtspiObject::Frame ? LayerWindow : LayerWidget;
    if (!(reply = dbus_message_new_method_return(call))) return nullptr;
    DBusMessageIter iter;
    dbus_message_iter_init_append(reply, &iter);
    AppendUint(&iter, layer);
    return reply;
  }
  if (is("GetMDIZOrder")) {
    if (!(reply = dbus_message_new_method_return(call))) return nullptr;
    const dbus_int16_t order = 0;
    dbus_message_append_args(reply, DBUS_TYPE_INT16, &order, DBUS_TYPE_INVALID);
    return reply;
  }
  if (is("GetAlpha")) {
    if (!(reply = dbus_message_new_method_return(call))) return nullptr;
    const double alpha = 1.0;
    dbus_message_append_args(reply, DBUS_TYPE_DOUBLE, &alpha, DBUS_TYPE_INVALID);
    return reply;
  }
  // The launcher moves the focus only with the keyboard, and the window
  // is placed by the user: these are refused.
  if (is("GrabFocus") || is("ScrollTo") || is("ScrollToPoint") || is("SetExtents") || is("SetPosition") ||
      is("SetSize"))
    return ReplyBool(call, false);
  return nullptr;
}

}  // namespace portico
