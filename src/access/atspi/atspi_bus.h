// Finding and joining the accessibility bus, and serving a connection from
// the window system's event loop.
#pragma once
#include <dbus/dbus.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "window/window_system.h"

namespace portico {

// How long any one call on a bus may block the event loop.
inline constexpr int AtspiCallTimeoutMs = 1000;

struct DBusConnectionCloser {
  void operator()(DBusConnection* connection) const;
};
using BusConnection = std::unique_ptr<DBusConnection, DBusConnectionCloser>;

// The accessibility bus's address: $AT_SPI_BUS_ADDRESS, else what the
// window system announces (the X root's AT_SPI_BUS), else what the bus
// launcher answers on the session bus (org.a11y.Bus.GetAddress). Empty
// when there is none.
std::string FindAccessibilityBus(WindowSystem& windows);

// A private connection to the bus at `address`, registered (it has its
// unique name); null when that fails within the time allowed.
BusConnection ConnectBus(const std::string& address);

// Serves a connection from WaitEvents: its descriptors are watched there,
// and what arrives is dispatched at once. D-Bus timeouts are taken and
// never fire: they guard replies to calls made without blocking, and this
// service makes none (its few calls block, bounded). Messages queued while
// such a call blocked are dispatched by Dispatch.
class BusLoop {
 public:
  // `after_dispatch` runs after each round of dispatching, outside libdbus
  // (what it does may run a nested event loop).
  BusLoop(DBusConnection* connection, WindowSystem& windows, std::function<void()> after_dispatch);
  ~BusLoop();
  BusLoop(const BusLoop&) = delete;
  BusLoop& operator=(const BusLoop&) = delete;
  // Hooks the connection into the loop; false when the window system
  // cannot watch descriptors.
  bool Start();
  // Dispatches every message queued; stops watching a connection that
  // was lost.
  void Dispatch();

 private:
  static dbus_bool_t AddWatch(DBusWatch* watch, void* self);
  static void RemoveWatch(DBusWatch* watch, void* self);
  static void ToggleWatch(DBusWatch* watch, void* self);
  void Ready(DBusWatch* watch, unsigned ready);
  void Stop();

  DBusConnection* connection_;
  WindowSystem& windows_;
  std::function<void()> after_dispatch_;
  std::map<DBusWatch*, int> watches_;  // enabled watches and their ids
  bool started_ = false;
  bool dispatching_ = false;
};

}  // namespace portico
