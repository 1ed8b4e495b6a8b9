#include "access/atspi/atspi_message.h"

#include <cstdarg>

#include "access/atspi/atspi_text.h"

namespace portico {

void AppendString(DBusMessageIter* iter, const std::string& text) {
  const std::string valid = ValidUtf8(text);
  const char* value = valid.c_str();
  dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &value);
}

void AppendInt(DBusMessageIter* iter, int32_t value) {
  dbus_message_iter_append_basic(iter, DBUS_TYPE_INT32, &value);
}

void AppendUint(DBusMessageIter* iter, uint32_t value) {
  dbus_message_iter_append_basic(iter, DBUS_TYPE_UINT32, &value);
}

void AppendBool(DBusMessageIter* iter, bool value) {
  const dbus_bool_t b = value ? TRUE : FALSE;
  dbus_message_iter_append_basic(iter, DBUS_TYPE_BOOLEAN, &b);
}

void AppendReference(DBusMessageIter* iter, const AtspiReference& reference) {
  DBusMessageIter fields;
  dbus_message_iter_open_container(iter, DBUS_TYPE_STRUCT, nullptr, &fields);
  AppendString(&fields, reference.Bus);
  const char* path = reference.Path.c_str();
  dbus_message_iter_append_basic(&fields, DBUS_TYPE_OBJECT_PATH, &path);
  dbus_message_iter_close_container(iter, &fields);
}

namespace {
template <typename Append>
void AppendVariant(DBusMessageIter* iter, const char* signature, Append append) {
  DBusMessageIter inner;
  dbus_message_iter_open_container(iter, DBUS_TYPE_VARIANT, signature, &inner);
  append(&inner);
  dbus_message_iter_close_container(iter, &inner);
}

DBusMessage* Reply(DBusMessage* call, auto append) {
  DBusMessage* reply = dbus_message_new_method_return(call);
  if (!reply) return nullptr;
  DBusMessageIter iter;
  dbus_message_iter_init_append(reply, &iter);
  append(&iter);
  return reply;
}
}  // namespace

void AppendVariantString(DBusMessageIter* iter, const std::string& text) {
  AppendVariant(iter, "s", [&](DBusMessageIter* i) { AppendString(i, text); });
}

void AppendVariantInt(DBusMessageIter* iter, int32_t value) {
  AppendVariant(iter, "i", [&](DBusMessageIter* i) { AppendInt(i, value); });
}

void AppendVariantReference(DBusMessageIter* iter, const AtspiReference& reference) {
  AppendVariant(iter, "(so)", [&](DBusMessageIter* i) { AppendReference(i, reference); });
}

void AppendEmptyArray(DBusMessageIter* iter, const char* element) {
  DBusMessageIter array;
  dbus_message_iter_open_container(iter, DBUS_TYPE_ARRAY, element, &array);
  dbus_message_iter_close_container(iter, &array);
}

DBusMessage* ReplyString(DBusMessage* call, const std::string& text) {
  return Reply(call, [&](DBusMessageIter* i) { AppendString(i, text); });
}

DBusMessage* ReplyInt(DBusMessage* call, int32_t value) {
  return Reply(call, [&](DBusMessageIter* i) { AppendInt(i, value); });
}

DBusMessage* ReplyBool(DBusMessage* call, bool value) {
  return Reply(call, [&](DBusMessageIter* i) { AppendBool(i, value); });
}

DBusMessage* ReplyReference(DBusMessage* call, const AtspiReference& reference) {
  return Reply(call, [&](DBusMessageIter* i) { AppendReference(i, reference); });
}

bool ReadArgs(DBusMessage* call, int first_type, ...) {
  va_list args;
  va_start(args, first_type);
  DBusError error;
  dbus_error_init(&error);
  const bool ok = dbus_message_get_args_valist(call, &error, first_type, args);
  va_end(args);
  dbus_error_free(&error);
  return ok;
}

}  // namespace portico
