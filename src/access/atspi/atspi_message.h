// Writing D-Bus messages: the few shapes AT-SPI replies are made of.
#pragma once
#include <dbus/dbus.h>

#include <cstdint>
#include <string>

#include "access/atspi/atspi_service.h"

namespace portico {

// A string, made valid UTF-8 first.
void AppendString(DBusMessageIter* iter, const std::string& text);
void AppendInt(DBusMessageIter* iter, int32_t value);
void AppendUint(DBusMessageIter* iter, uint32_t value);
void AppendBool(DBusMessageIter* iter, bool value);
// A reference: the struct (so).
void AppendReference(DBusMessageIter* iter, const AtspiReference& reference);
// A variant holding one basic value or a reference.
void AppendVariantString(DBusMessageIter* iter, const std::string& text);
void AppendVariantInt(DBusMessageIter* iter, int32_t value);
void AppendVariantReference(DBusMessageIter* iter, const AtspiReference& reference);
// An empty array of the given element signature.
void AppendEmptyArray(DBusMessageIter* iter, const char* element);

// Replies with one value.
DBusMessage* ReplyString(DBusMessage* call, const std::string& text);
DBusMessage* ReplyInt(DBusMessage* call, int32_t value);
DBusMessage* ReplyBool(DBusMessage* call, bool value);
DBusMessage* ReplyReference(DBusMessage* call, const AtspiReference& reference);
// Arguments of the given basic types (DBUS_TYPE_... and pointers, then
// DBUS_TYPE_INVALID); false when the call does not carry them.
bool ReadArgs(DBusMessage* call, int first_type, ...);

}  // namespace portico
