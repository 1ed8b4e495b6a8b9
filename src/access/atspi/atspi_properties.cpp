// org.freedesktop.DBus.Properties (Get, GetAll, and Set for the
// application's Id) and org.freedesktop.DBus.Introspectable.
#include <cstring>
#include <initializer_list>

#include "access/atspi/atspi_message.h"
#include "access/atspi/atspi_service.h"
#include "access/atspi/atspi_text.h"

namespace portico {

namespace {
// Each interface's properties, in the order GetAll lists them.
struct PropertyList {
  const char* Interface;
  std::initializer_list<const char*> Names;
};
const PropertyList PropertyLists[] = {
    {"org.a11y.atspi.Accessible", {"Name", "Description", "Parent", "ChildCount", "Locale", "AccessibleId", "HelpText"}},
    {"org.a11y.atspi.Application", {"ToolkitName", "Version", "AtspiVersion", "Id"}},
    {"org.a11y.atspi.Action", {"NActions"}},
    {"org.a11y.atspi.Text", {"CharacterCount", "CaretOffset"}},
};
}  // namespace

bool AtspiService::AppendProperty(DBusMessageIter* iter, const AtspiObject& object, const std::string& interface,
                                  const std::string& name) {
  if (!HasInterface(object, interface)) return false;
  if (interface == "org.a11y.atspi.Accessible") {
    if (name == "Name") AppendVariantString(iter, Name(object));
    else if (name == "Description" || name == "Locale" || name == "AccessibleId" || name == "HelpText")
      AppendVariantString(iter, "");
    else if (name == "Parent") AppendVariantReference(iter, Parent(object));
    else if (name == "ChildCount") AppendVariantInt(iter, static_cast<int32_t>(ChildCount(object)));
    else return false;
  } else if (interface == "org.a11y.atspi.Application") {
    if (name == "ToolkitName") AppendVariantString(iter, "Portico");
    else if (name == "Version") AppendVariantString(iter, "1.0");
    else if (name == "AtspiVersion") AppendVariantString(iter, "2.1");
    else if (name == "Id") AppendVariantInt(iter, application_id_);
    else return false;
  } else if (interface == "org.a11y.atspi.Action") {
    if (name != "NActions") return false;
    AppendVariantInt(iter, 1);
  } else if (interface == "org.a11y.atspi.Text") {
    if (name == "CharacterCount")
      AppendVariantInt(iter, static_cast<int32_t>(Utf8Length(ValidUtf8(window_.Control(object.Index).Text))));
    else if (name == "CaretOffset") AppendVariantInt(iter, 0);
    else return false;
  } else {
    return false;
  }
  return true;
}

DBusMessage* AtspiService::Properties(DBusMessage* call, const AtspiObject& object) {
  const char* member = dbus_message_get_member(call);
  const char* interface = nullptr;
  const char* name = nullptr;
  if (std::strcmp(member, "Get") == 0) {
    if (!ReadArgs(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID)) return nullptr;
    DBusMessage* reply = dbus_message_new_method_return(call);
    if (!reply) return nullptr;
    DBusMessageIter iter;
    dbus_message_iter_init_append(reply, &iter);
    if (AppendProperty(&iter, object, interface, name)) return reply;
    dbus_message_unref(reply);
    return dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_PROPERTY, "no such property");
  }
  if (std::strcmp(member, "GetAll") == 0) {
    if (!ReadArgs(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_INVALID)) return nullptr;
    DBusMessage* reply = dbus_message_new_method_return(call);
    if (!reply) return nullptr;
    DBusMessageIter iter, array, entry;
    dbus_message_iter_init_append(reply, &iter);
    dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "{sv}", &array);
    for (const PropertyList& list : PropertyLists) {
      if (std::strcmp(list.Interface, interface) != 0 || !HasInterface(object, interface)) continue;
      for (const char* property : list.Names) {
        dbus_message_iter_open_container(&array, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
        AppendString(&entry, property);
        AppendProperty(&entry, object, interface, property);
        dbus_message_iter_close_container(&array, &entry);
      }
    }
    dbus_message_iter_close_container(&iter, &array);
    return reply;
  }
  if (std::strcmp(member, "Set") == 0) {
    // The registry numbers the application; nothing else can be set.
    DBusMessageIter iter, value;
    if (!dbus_message_iter_init(call, &iter) || dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_STRING)
      return nullptr;
    dbus_message_iter_get_basic(&iter, &interface);
    if (!dbus_message_iter_next(&iter) || dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_STRING) return nullptr;
    dbus_message_iter_get_basic(&iter, &name);
    if (!dbus_message_iter_next(&iter) || dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_VARIANT) return nullptr;
    dbus_message_iter_recurse(&iter, &value);
    if (object.Type != AtspiObject::Application || std::strcmp(interface, "org.a11y.atspi.Application") != 0 ||
        std::strcmp(name, "Id") != 0 || dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_INT32)
      return dbus_message_new_error(call, DBUS_ERROR_PROPERTY_READ_ONLY, "read only");
    dbus_int32_t id = 0;
    dbus_message_iter_get_basic(&value, &id);
    application_id_ = id;
    return dbus_message_new_method_return(call);
  }
  return nullptr;
}

DBusMessage* AtspiService::Introspect(DBusMessage* call, const AtspiObject& object) {
  if (std::strcmp(dbus_message_get_member(call), "Introspect") != 0) return nullptr;
  // The interfaces by name; their members are AT-SPI's published ones.
  std::string xml = DBUS_INTROSPECT_1_0_XML_DOCTYPE_DECL_NODE "<node>\n";
  for (const char* name : {DBUS_INTERFACE_PROPERTIES, DBUS_INTERFACE_INTROSPECTABLE, "org.a11y.atspi.Accessible",
                           "org.a11y.atspi.Application", "org.a11y.atspi.Component", "org.a11y.atspi.Action",
                           "org.a11y.atspi.Text"})
    if (std::strncmp(name, "org.freedesktop", 15) == 0 || HasInterface(object, name))
      xml += std::string("  <interface name=\"") + name + "\"/>\n";
  xml += "</node>\n";
  return ReplyString(call, xml);
}

}  // namespace portico
