// The AT-SPI service: the launcher's window as an application on the
// accessibility bus, answering the screen reader's calls and telling it
// of focus and activation.
#pragma once
#include <dbus/dbus.h>

#include <memory>
#include <optional>
#include <string>

#include "access/accessible.h"
#include "access/atspi/atspi_bus.h"
#include "access/atspi/atspi_objects.h"

namespace portico {

// An object reference as AT-SPI passes it: (bus name, object path).
struct AtspiReference {
  std::string Bus;
  std::string Path;
};

class AtspiService final : public TAccessibilityService {
 public:
  // Joins the bus at `address`, registers with its registry and serves
  // from the window system's loop; null when any step fails.
  static std::unique_ptr<AtspiService> Start(TAccessibleWindow& window, WindowSystem& windows,
                                             const std::string& address);
  ~AtspiService() override;

  void FocusChanged() override;
  void ActiveChanged() override;
  void BoundsChanged() override;

 private:
  AtspiService(TAccessibleWindow& window, WindowSystem& windows, BusConnection connection);
  bool Register();
  static DBusHandlerResult OnMessage(DBusConnection* connection, DBusMessage* message, void* self);
  DBusHandlerResult Handle(DBusMessage* message);

  // --- the object tree (atspi_service.cpp) ---
  AtspiReference Reference(const AtspiObject& object) const;
  AtspiReference Parent(const AtspiObject& object) const;
  size_t ChildCount(const AtspiObject& object) const;
  std::string Name(const AtspiObject& object) const;
  AtspiRole Role(const AtspiObject& object) const;
  AtspiStateSet States(const AtspiObject& object) const;
  // The object's rectangle in screen coordinates.
  TRect ScreenRect(const AtspiObject& object) const;
  bool IsLabel(const AtspiObject& object) const;

  // --- interfaces: each gives the reply to a call of its own, null for a
  // method it does not have (atspi_accessible.cpp, atspi_component.cpp,
  // atspi_action.cpp, atspi_properties.cpp) ---
  DBusMessage* Accessible(DBusMessage* call, const AtspiObject& object);
  DBusMessage* Application(DBusMessage* call, const AtspiObject& object);
  DBusMessage* Component(DBusMessage* call, const AtspiObject& object);
  DBusMessage* Action(DBusMessage* call, const AtspiObject& object);
  DBusMessage* Text(DBusMessage* call, const AtspiObject& object);
  DBusMessage* Properties(DBusMessage* call, const AtspiObject& object);
  DBusMessage* Introspect(DBusMessage* call, const AtspiObject& object);
  // Whether the object has the interface (org.a11y.atspi.NAME).
  bool HasInterface(const AtspiObject& object, const std::string& interface) const;
  // Appends a property's value as a variant; false when there is no such.
  bool AppendProperty(DBusMessageIter* iter, const AtspiObject& object, const std::string& interface,
                      const std::string& name);
  // Action.DoAction: replies, and leaves the click for after the dispatch
  // (it may end the program or run a nested event loop).
  void DoAction(DBusMessage* call, const AtspiObject& object);
  void RunPendingClick();

  // --- events ---
  void Emit(const AtspiObject& object, const char* interface, const char* member, const char* detail,
            int detail1);

  TAccessibleWindow& window_;
  WindowSystem& windows_;
  BusConnection connection_;
  std::unique_ptr<BusLoop> loop_;
  AtspiReference desktop_;
  int application_id_ = 0;
  std::optional<size_t> pending_click_;
  int focused_ = -1;       // as last told
  bool active_ = false;    // as last told
};

}  // namespace portico
