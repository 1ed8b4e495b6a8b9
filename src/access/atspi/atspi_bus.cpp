#include "access/atspi/atspi_bus.h"

#include <cstdlib>
#include <utility>

namespace portico {

void DBusConnectionCloser::operator()(DBusConnection* connection) const {
  dbus_connection_close(connection);
  dbus_connection_unref(connection);
}

namespace {
// A method call's reply within the time allowed, or null.
DBusMessage* Call(DBusConnection* connection, DBusMessage* call) {
  if (!call) return nullptr;
  DBusError error;
  dbus_error_init(&error);
  DBusMessage* reply = dbus_connection_send_with_reply_and_block(connection, call, AtspiCallTimeoutMs, &error);
  dbus_message_unref(call);
  dbus_error_free(&error);
  return reply;
}

// The string a reply carries, or empty.
std::string ReplyString(DBusMessage* reply) {
  std::string value;
  const char* text = nullptr;
  if (reply && dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID) && text)
    value = text;
  if (reply) dbus_message_unref(reply);
  return value;
}

std::string AskBusLauncher() {
  // Only a session bus that is there: no autolaunch of one.
  const char* session = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (!session || !*session) return {};
  BusConnection connection = ConnectBus(session);
  if (!connection) return {};
  return ReplyString(Call(connection.get(), dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus",
                                                                          "org.a11y.Bus", "GetAddress")));
}
}  // namespace

std::string FindAccessibilityBus(WindowSystem& windows) {
  if (const char* address = std::getenv("AT_SPI_BUS_ADDRESS"); address && *address) return address;
  std::string address = windows.AccessibilityBusAddress();
  if (address.empty()) address = AskBusLauncher();
  return address;
}

BusConnection ConnectBus(const std::string& address) {
  DBusError error;
  dbus_error_init(&error);
  BusConnection connection(dbus_connection_open_private(address.c_str(), &error));
  dbus_error_free(&error);
  if (!connection) return nullptr;
  // A lost bus ends the service, never the program.
  dbus_connection_set_exit_on_disconnect(connection.get(), FALSE);
  // The bus's Hello, by hand: dbus_bus_register would wait 25 s.
  const std::string name = ReplyString(Call(connection.get(),
      dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "Hello")));
  if (name.empty() || !dbus_bus_set_unique_name(connection.get(), name.c_str())) return nullptr;
  return connection;
}

BusLoop::BusLoop(DBusConnection* connection, WindowSystem& windows, std::function<void()> after_dispatch)
    : connection_(connection), windows_(windows), after_dispatch_(std::move(after_dispatch)) {}

BusLoop::~BusLoop() { Stop(); }

bool BusLoop::Start() {
  started_ = true;
  // Fails when the window system cannot watch the connection's socket.
  if (!dbus_connection_set_watch_functions(connection_, &AddWatch, &RemoveWatch, &ToggleWatch, this, nullptr) ||
      !dbus_connection_set_timeout_functions(connection_, [](DBusTimeout*, void*) -> dbus_bool_t { return TRUE; },
                                             nullptr, nullptr, nullptr, nullptr)) {
    Stop();
    return false;
  }
  return true;
}

void BusLoop::Stop() {
  if (!started_) return;
  started_ = false;
  // Removes every watch through RemoveWatch.
  dbus_connection_set_watch_functions(connection_, nullptr, nullptr, nullptr, nullptr, nullptr);
  for (const auto& [watch, id] : watches_) windows_.UnwatchDescriptor(id);
  watches_.clear();
}

dbus_bool_t BusLoop::AddWatch(DBusWatch* watch, void* self) {
  auto* loop = static_cast<BusLoop*>(self);
  if (!dbus_watch_get_enabled(watch)) return TRUE;
  const unsigned flags = dbus_watch_get_flags(watch);
  const int id = loop->windows_.WatchDescriptor(dbus_watch_get_unix_fd(watch), (flags & DBUS_WATCH_READABLE) != 0,
                                                (flags & DBUS_WATCH_WRITABLE) != 0,
                                                [loop, watch](unsigned ready) { loop->Ready(watch, ready); });
  if (id == 0) return FALSE;
  loop->watches_[watch] = id;
  return TRUE;
}

void BusLoop::RemoveWatch(DBusWatch* watch, void* self) {
  auto* loop = static_cast<BusLoop*>(self);
  auto it = loop->watches_.find(watch);
  if (it == loop->watches_.end()) return;
  loop->windows_.UnwatchDescriptor(it->second);
  loop->watches_.erase(it);
}

void BusLoop::ToggleWatch(DBusWatch* watch, void* self) {
  RemoveWatch(watch, self);
  AddWatch(watch, self);
}

void BusLoop::Ready(DBusWatch* watch, unsigned ready) {
  unsigned flags = 0;
  if (ready & WindowSystem::DescriptorReadable) flags |= DBUS_WATCH_READABLE;
  if (ready & WindowSystem::DescriptorWritable) flags |= DBUS_WATCH_WRITABLE;
  if (ready & WindowSystem::DescriptorFailed) flags |= DBUS_WATCH_HANGUP | DBUS_WATCH_ERROR;
  dbus_watch_handle(watch, flags);
  Dispatch();
}

void BusLoop::Dispatch() {
  // From a nested event loop of a handler's: libdbus would wait for the
  // outer dispatch, which goes on with what arrived once the handler returns.
  if (dispatching_) return;
  dispatching_ = true;
  while (dbus_connection_get_dispatch_status(connection_) == DBUS_DISPATCH_DATA_REMAINS)
    dbus_connection_dispatch(connection_);
  dispatching_ = false;
  // A lost bus would keep its descriptor ready for ever.
  if (!dbus_connection_get_is_connected(connection_)) Stop();
  if (after_dispatch_) after_dispatch_();
}

}  // namespace portico
