#include "access/atspi/atspi_service.h"

#include <cstring>
#include <utility>

#include "access/atspi/atspi_message.h"

namespace portico {

namespace {
// Screen readers ask for a cache of the whole tree here; ours is small
// enough to be read object by object, so the cache is empty.
constexpr const char* CachePath = "/org/a11y/atspi/cache";
const AtspiObject ApplicationObject{AtspiObject::Application, 0};
const AtspiObject FrameObject{AtspiObject::Frame, 0};
}  // namespace

std::unique_ptr<AtspiService> AtspiService::Start(TAccessibleWindow& window, WindowSystem& windows,
                                                  const std::string& address) {
  BusConnection connection = ConnectBus(address);
  if (!connection) return nullptr;
  std::unique_ptr<AtspiService> service(new AtspiService(window, windows, std::move(connection)));
  if (!service->Register()) return nullptr;
  return service;
}

AtspiService::AtspiService(TAccessibleWindow& window, WindowSystem& windows, BusConnection connection)
    : window_(window), windows_(windows), connection_(std::move(connection)) {}

AtspiService::~AtspiService() {
  loop_.reset();
  dbus_connection_unregister_object_path(connection_.get(), AtspiPathPrefix);
  dbus_connection_unregister_object_path(connection_.get(), CachePath);
}

bool AtspiService::Register() {
  static const DBusObjectPathVTable vtable = {nullptr, &AtspiService::OnMessage, nullptr, nullptr, nullptr, nullptr};
  if (!dbus_connection_register_fallback(connection_.get(), AtspiPathPrefix, &vtable, this) ||
      !dbus_connection_register_object_path(connection_.get(), CachePath, &vtable, this))
    return false;
  // Embed tells the registry of our root and answers with the desktop,
  // our application's parent.
  DBusMessage* call = dbus_message_new_method_call("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                                                   "org.a11y.atspi.Socket", "Embed");
  if (!call) return false;
  DBusMessageIter iter;
  dbus_message_iter_init_append(call, &iter);
  AppendReference(&iter, Reference(ApplicationObject));
  DBusError error;
  dbus_error_init(&error);
  DBusMessage* reply = dbus_connection_send_with_reply_and_block(connection_.get(), call, AtspiCallTimeoutMs, &error);
  dbus_message_unref(call);
  dbus_error_free(&error);
  if (!reply) return false;
  DBusMessageIter args, fields;
  bool ok = dbus_message_iter_init(reply, &args) && dbus_message_iter_get_arg_type(&args) == DBUS_TYPE_STRUCT;
  if (ok) {
    dbus_message_iter_recurse(&args, &fields);
    const char* bus = nullptr;
    const char* path = nullptr;
    ok = dbus_message_iter_get_arg_type(&fields) == DBUS_TYPE_STRING;
    if (ok) dbus_message_iter_get_basic(&fields, &bus);
    ok = ok && dbus_message_iter_next(&fields) && dbus_message_iter_get_arg_type(&fields) == DBUS_TYPE_OBJECT_PATH;
    if (ok) {
      dbus_message_iter_get_basic(&fields, &path);
      desktop_ = AtspiReference{bus, path};
    }
  }
  dbus_message_unref(reply);
  if (!ok) return false;
  loop_ = std::make_unique<BusLoop>(connection_.get(), windows_, [this] { RunPendingClick(); });
  if (!loop_->Start()) return false;
  focused_ = window_.FocusedControl();
  active_ = window_.Active();
  // Calls that came while Embed blocked.
  loop_->Dispatch();
  return true;
}

DBusHandlerResult AtspiService::OnMessage(DBusConnection*, DBusMessage* message, void* self) {
  return static_cast<AtspiService*>(self)->Handle(message);
}

DBusHandlerResult AtspiService::Handle(DBusMessage* call) {
  if (dbus_message_get_type(call) != DBUS_MESSAGE_TYPE_METHOD_CALL) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  const char* path = dbus_message_get_path(call);
  const char* interface = dbus_message_get_interface(call);
  const std::optional<AtspiObject> object = AtspiObjectAt(path ? path : "", window_.ControlCount());
  if (object && interface && dbus_message_is_method_call(call, "org.a11y.atspi.Action", "DoAction") &&
      HasInterface(*object, interface)) {
    DoAction(call, *object);
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  DBusMessage* reply = nullptr;
  if (path && std::strcmp(path, CachePath) == 0) {
    if (dbus_message_is_method_call(call, "org.a11y.atspi.Cache", "GetItems") &&
        (reply = dbus_message_new_method_return(call))) {
      DBusMessageIter iter;
      dbus_message_iter_init_append(reply, &iter);
      AppendEmptyArray(&iter, "((so)(so)(so)iiassusau)");
    }
  } else if (!object) {
    reply = dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_OBJECT, "no such object");
  } else if (interface) {
    const std::string name = interface;
    if (name == DBUS_INTERFACE_PROPERTIES)
      reply = Properties(call, *object);
    else if (name == DBUS_INTERFACE_INTROSPECTABLE)
      reply = Introspect(call, *object);
    else if (HasInterface(*object, name)) {
      if (name == "org.a11y.atspi.Accessible") reply = Accessible(call, *object);
      else if (name == "org.a11y.atspi.Application") reply = Application(call, *object);
      else if (name == "org.a11y.atspi.Component") reply = Component(call, *object);
      else if (name == "org.a11y.atspi.Action") reply = Action(call, *object);
      else if (name == "org.a11y.atspi.Text") reply = Text(call, *object);
    }
  }
  // A method we lack, a call without an interface, or arguments that do
  // not fit: an error, never silence (the caller would wait).
  if (!reply) reply = dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_METHOD, "not supported here");
  if (reply && !dbus_message_get_no_reply(call)) dbus_connection_send(connection_.get(), reply, nullptr);
  if (reply) dbus_message_unref(reply);
  return DBUS_HANDLER_RESULT_HANDLED;
}

AtspiReference AtspiService::Reference(const AtspiObject& object) const {
  const char* name = dbus_bus_get_unique_name(connection_.get());
  return AtspiReference{name ? name : "", AtspiPath(object)};
}

AtspiReference AtspiService::Parent(const AtspiObject& object) const {
  switch (object.Type) {
    case AtspiObject::Application: return desktop_;
    case AtspiObject::Frame: return Reference(ApplicationObject);
    case AtspiObject::Control: break;
  }
  return Reference(FrameObject);
}

size_t AtspiService::ChildCount(const AtspiObject& object) const {
  switch (object.Type) {
    case AtspiObject::Application: return 1;
    case AtspiObject::Frame: return window_.ControlCount();
    case AtspiObject::Control: break;
  }
  return 0;
}

std::string AtspiService::Name(const AtspiObject& object) const {
  switch (object.Type) {
    case AtspiObject::Application: return "Portico";
    case AtspiObject::Frame: return window_.Name();
    case AtspiObject::Control: break;
  }
  return window_.Control(object.Index).Name;
}

AtspiRole AtspiService::Role(const AtspiObject& object) const {
  switch (object.Type) {
    case AtspiObject::Application: return AtspiRoleApplication;
    case AtspiObject::Frame: return AtspiRoleFrame;
    case AtspiObject::Control: break;
  }
  return RoleOf(window_.Control(object.Index).Role);
}

AtspiStateSet AtspiService::States(const AtspiObject& object) const {
  switch (object.Type) {
    case AtspiObject::Application: return AtspiStateSet{};
    case AtspiObject::Frame: return FrameStates(window_.Active());
    case AtspiObject::Control: break;
  }
  return ControlStates(window_.Control(object.Index),
                       window_.FocusedControl() == static_cast<int>(object.Index));
}

TRect AtspiService::ScreenRect(const AtspiObject& object) const {
  // Where the window is now: it may have moved since the last call.
  const TRect window = window_.ScreenBounds();
  if (object.Type != AtspiObject::Control) return window;
  const TRect r = window_.Control(object.Index).Bounds;
  return TRect{window.Left + r.Left, window.Top + r.Top, window.Left + r.Right, window.Top + r.Bottom};
}

bool AtspiService::IsLabel(const AtspiObject& object) const {
  return object.Type == AtspiObject::Control && window_.Control(object.Index).Role == TAccessibleRole::Label;
}

bool AtspiService::HasInterface(const AtspiObject& object, const std::string& interface) const {
  if (interface == "org.a11y.atspi.Accessible") return true;
  if (interface == "org.a11y.atspi.Application") return object.Type == AtspiObject::Application;
  if (interface == "org.a11y.atspi.Component") return object.Type != AtspiObject::Application;
  if (interface == "org.a11y.atspi.Action") return object.Type == AtspiObject::Control;
  if (interface == "org.a11y.atspi.Text") return IsLabel(object);
  return false;
}

void AtspiService::RunPendingClick() {
  if (!pending_click_) return;
  const size_t index = *pending_click_;
  pending_click_.reset();
  if (index < window_.ControlCount()) window_.Click(index);
}

void AtspiService::Emit(const AtspiObject& object, const char* interface, const char* member, const char* detail,
                        int detail1) {
  DBusMessage* signal = dbus_message_new_signal(AtspiPath(object).c_str(), interface, member);
  if (!signal) return;
  DBusMessageIter iter;
  dbus_message_iter_init_append(signal, &iter);
  AppendString(&iter, detail);
  AppendInt(&iter, detail1);
  AppendInt(&iter, 0);
  AppendVariantInt(&iter, 0);
  AppendEmptyArray(&iter, "{sv}");
  dbus_connection_send(connection_.get(), signal, nullptr);
  dbus_message_unref(signal);
}

void AtspiService::FocusChanged() {
  const int focused = window_.FocusedControl();
  if (focused == focused_) return;
  const int count = static_cast<int>(window_.ControlCount());
  if (focused_ >= 0 && focused_ < count)
    Emit(AtspiObject{AtspiObject::Control, static_cast<size_t>(focused_)}, "org.a11y.atspi.Event.Object",
         "StateChanged", "focused", 0);
  focused_ = focused;
  if (focused >= 0 && focused < count)
    Emit(AtspiObject{AtspiObject::Control, static_cast<size_t>(focused)}, "org.a11y.atspi.Event.Object",
         "StateChanged", "focused", 1);
}

void AtspiService::ActiveChanged() {
  const bool active = window_.Active();
  if (active == active_) return;
  active_ = active;
  Emit(FrameObject, "org.a11y.atspi.Event.Window", active ? "Activate" : "Deactivate", "", 0);
  Emit(FrameObject, "org.a11y.atspi.Event.Object", "StateChanged", "active", active ? 1 : 0);
  // The screen reader then reads what has the focus in the window.
  const int focused = window_.FocusedControl();
  if (active && focused >= 0 && focused < static_cast<int>(window_.ControlCount()))
    Emit(AtspiObject{AtspiObject::Control, static_cast<size_t>(focused)}, "org.a11y.atspi.Event.Object",
         "StateChanged", "focused", 1);
}

void AtspiService::BoundsChanged() {
  Emit(FrameObject, "org.a11y.atspi.Event.Object", "BoundsChanged", "", 0);
}

std::unique_ptr<TAccessibilityService> StartAccessibility(TAccessibleWindow& window, WindowSystem& windows) {
  const std::string address = FindAccessibilityBus(windows);
  if (address.empty()) return nullptr;
  return AtspiService::Start(window, windows, address);
}

}  // namespace portico
