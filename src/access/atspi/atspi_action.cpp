// org.a11y.atspi.Action (one action, "click", on every control) and
// org.a11y.atspi.Text (the label's text, read only).
#include <cstring>

#include "access/atspi/atspi_message.h"
#include "access/atspi/atspi_service.h"
#include "access/atspi/atspi_text.h"

namespace portico {

namespace {
constexpr const char* ClickName = "click";
constexpr const char* ClickDescription = "Clicks the control";
}  // namespace

DBusMessage* AtspiService::Action(DBusMessage* call, const AtspiObject&) {
  const char* member = dbus_message_get_member(call);
  const auto is = [&](const char* name) { return std::strcmp(member, name) == 0; };
  if (is("GetActions")) {
    DBusMessage* reply = dbus_message_new_method_return(call);
    if (!reply) return nullptr;
    DBusMessageIter iter, array, fields;
    dbus_message_iter_init_append(reply, &iter);
    dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "(sss)", &array);
    dbus_message_iter_open_container(&array, DBUS_TYPE_STRUCT, nullptr, &fields);
    for (const char* text : {ClickName, ClickDescription, ""}) AppendString(&fields, text);
    dbus_message_iter_close_container(&array, &fields);
    dbus_message_iter_close_container(&iter, &array);
    return reply;
  }
  int32_t index = -1;
  if (!ReadArgs(call, DBUS_TYPE_INT32, &index, DBUS_TYPE_INVALID)) return nullptr;
  if (is("GetName") || is("GetLocalizedName")) return ReplyString(call, index == 0 ? ClickName : "");
  if (is("GetDescription")) return ReplyString(call, index == 0 ? ClickDescription : "");
  if (is("GetKeyBinding")) return ReplyString(call, "");
  return nullptr;
}

void AtspiService::DoAction(DBusMessage* call, const AtspiObject& object) {
  int32_t index = -1;
  const bool read = ReadArgs(call, DBUS_TYPE_INT32, &index, DBUS_TYPE_INVALID);
  const bool clicks = read && index == 0 && window_.Control(object.Index).Enabled;
  DBusMessage* reply = read ? ReplyBool(call, clicks)
                            : dbus_message_new_error(call, DBUS_ERROR_INVALID_ARGS, "an action index (i)");
  // The caller hears first: the click may end the program.
  if (reply) {
    if (!dbus_message_get_no_reply(call)) dbus_connection_send(connection_.get(), reply, nullptr);
    dbus_message_unref(reply);
    dbus_connection_flush(connection_.get());
  }
  if (clicks) pending_click_ = object.Index;
}

DBusMessage* AtspiService::Text(DBusMessage* call, const AtspiObject& object) {
  const std::string text = ValidUtf8(window_.Control(object.Index).Text);
  if (std::strcmp(dbus_message_get_member(call), "GetText") == 0) {
    int32_t start = 0, end = -1;
    if (!ReadArgs(call, DBUS_TYPE_INT32, &start, DBUS_TYPE_INT32, &end, DBUS_TYPE_INVALID)) return nullptr;
    return ReplyString(call, Utf8Slice(text, start, end));
  }
  return nullptr;
}

}  // namespace portico
