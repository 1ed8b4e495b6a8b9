// org.a11y.atspi.Accessible and org.a11y.atspi.Application.
#include <cstring>

#include "access/atspi/atspi_message.h"
#include "access/atspi/atspi_service.h"

namespace portico {

DBusMessage* AtspiService::Accessible(DBusMessage* call, const AtspiObject& object) {
  const char* member = dbus_message_get_member(call);
  const auto is = [&](const char* name) { return std::strcmp(member, name) == 0; };
  const auto child = [&](size_t i) {
    return object.Type == AtspiObject::Application ? AtspiObject{AtspiObject::Frame, 0}
                                                   : AtspiObject{AtspiObject::Control, i};
  };
  if (is("GetChildAtIndex")) {
    int32_t index = -1;
    if (!ReadArgs(call, DBUS_TYPE_INT32, &index, DBUS_TYPE_INVALID)) return nullptr;
    if (index < 0 || static_cast<size_t>(index) >= ChildCount(object))
      return ReplyReference(call, AtspiReference{dbus_bus_get_unique_name(connection_.get()), AtspiNullPath});
    return ReplyReference(call, Reference(child(static_cast<size_t>(index))));
  }
  DBusMessage* reply = dbus_message_new_method_return(call);
  if (!reply) return nullptr;
  DBusMessageIter iter, array;
  dbus_message_iter_init_append(reply, &iter);
  if (is("GetChildren")) {
    dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "(so)", &array);
    for (size_t i = 0, n = ChildCount(object); i < n; ++i) AppendReference(&array, Reference(child(i)));
    dbus_message_iter_close_container(&iter, &array);
  } else if (is("GetIndexInParent")) {
    AppendInt(&iter, object.Type == AtspiObject::Control ? static_cast<int32_t>(object.Index)
                     : object.Type == AtspiObject::Frame ? 0 : -1);
  } else if (is("GetRelationSet")) {
    AppendEmptyArray(&iter, "(ua(so))");
  } else if (is("GetRole")) {
    AppendUint(&iter, Role(object));
  } else if (is("GetRoleName") || is("GetLocalizedRoleName")) {
    AppendString(&iter, RoleName(Role(object)));
  } else if (is("GetState")) {
    const AtspiStateSet states = States(object);
    dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "u", &array);
    for (uint32_t word : states) AppendUint(&array, word);
    dbus_message_iter_close_container(&iter, &array);
  } else if (is("GetAttributes")) {
    AppendEmptyArray(&iter, "{ss}");
  } else if (is("GetApplication")) {
    AppendReference(&iter, Reference(AtspiObject{AtspiObject::Application, 0}));
  } else if (is("GetInterfaces")) {
    dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "s", &array);
    for (const char* name : {"org.a11y.atspi.Accessible", "org.a11y.atspi.Application", "org.a11y.atspi.Component",
                             "org.a11y.atspi.Action", "org.a11y.atspi.Text"})
      if (HasInterface(object, name)) AppendString(&array, name);
    dbus_message_iter_close_container(&iter, &array);
  } else {
    dbus_message_unref(reply);
    return nullptr;
  }
  return reply;
}

DBusMessage* AtspiService::Application(DBusMessage* call, const AtspiObject&) {
  const char* member = dbus_message_get_member(call);
  if (std::strcmp(member, "GetLocale") == 0) {
    uint32_t category = 0;
    if (!ReadArgs(call, DBUS_TYPE_UINT32, &category, DBUS_TYPE_INVALID)) return nullptr;
    return ReplyString(call, "");
  }
  // No peer-to-peer connection: everything goes over the bus.
  if (std::strcmp(member, "GetApplicationBusAddress") == 0) return ReplyString(call, "");
  return nullptr;
}

}  // namespace portico
