// MSAA on Windows: screen readers ask the launcher's window for its object
// with WM_GETOBJECT and call it across processes through COM; the service
// answers with the client object and tells them where the focus went.
#include <memory>

#include "access/accessible.h"
#include "access/msaa/msaa_client_object.h"

namespace portico {

namespace {
// The message that carries a deferred click (wParam: the control's index).
constexpr UINT ClickMessage = WM_APP + 1;

class TMsaaService final : public TAccessibilityService {
 public:
  TMsaaService(TAccessibleWindow& window, WindowSystem& windows);
  ~TMsaaService() override;
  TMsaaService(const TMsaaService&) = delete;
  TMsaaService& operator=(const TMsaaService&) = delete;

  void FocusChanged() override;
  void ActiveChanged() override;
  void BoundsChanged() override;

 private:
  static LRESULT CALLBACK ClickWindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
  intptr_t AnswerGetObject(uintptr_t wparam, intptr_t lparam);

  TAccessibleWindow& window_;
  WindowSystem& windows_;
  HWND hwnd_;
  bool com_initialized_ = false;
  // A message-only window: a click asked for in a COM call is posted here
  // and done once that call has returned to the screen reader, since the
  // click may end the program while the reply is still owed.
  HWND click_window_ = nullptr;
  TMsaaClientObject* client_ = nullptr;
};

// The click window's class, registered once; 0 when the system refused.
ATOM ClickWindowClass(WNDPROC proc) {
  static const ATOM atom = [proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PorticoAccessibleClick";
    return RegisterClassExW(&wc);
  }();
  return atom;
}

TMsaaService::TMsaaService(TAccessibleWindow& window, WindowSystem& windows)
    : window_(window), windows_(windows), hwnd_(reinterpret_cast<HWND>(window.Handle())) {
  // Cross-process calls reach a single-threaded apartment as messages that
  // the launcher's own loop dispatches: every call comes on this thread.
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  com_initialized_ = SUCCEEDED(hr);
  if (const ATOM atom = ClickWindowClass(&ClickWindowProc)) {
    click_window_ = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)), L"", 0, 0, 0, 0, 0,
                                    HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (click_window_) SetWindowLongPtrW(click_window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  HWND click_window = click_window_;
  client_ = new TMsaaClientObject(window_, hwnd_, [click_window](size_t index) {
    PostMessageW(click_window, ClickMessage, static_cast<WPARAM>(index), 0);
  });
  windows_.SetAccessibleObjectHook(window_.Handle(), [this](uintptr_t wparam, intptr_t lparam) {
    return AnswerGetObject(wparam, lparam);
  });
}

TMsaaService::~TMsaaService() {
  windows_.SetAccessibleObjectHook(window_.Handle(), {});
  // Screen readers may hold the object for longer: it answers
  // RPC_E_DISCONNECTED from now on, and their proxies are cut off.
  client_->Detach();
  if (com_initialized_) CoDisconnectObject(static_cast<IAccessible*>(client_), 0);
  client_->Release();
  // Clicks still queued die with the window.
  if (click_window_) DestroyWindow(click_window_);
  if (com_initialized_) CoUninitialize();
}

intptr_t TMsaaService::AnswerGetObject(uintptr_t wparam, intptr_t lparam) {
  // The object id is a 32-bit value, whether or not it came sign-extended.
  // Without our apartment (a thread already in the multithreaded one),
  // calls would come on other threads: the system's object answers then.
  if (static_cast<LONG>(static_cast<DWORD>(lparam)) != OBJID_CLIENT || !com_initialized_) return 0;
  const LRESULT result = LresultFromObject(__uuidof(IAccessible), static_cast<WPARAM>(wparam), client_);
  return result > 0 ? result : 0;
}

LRESULT CALLBACK TMsaaService::ClickWindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg != ClickMessage) return DefWindowProcW(window, msg, wparam, lparam);
  auto* service = reinterpret_cast<TMsaaService*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // No exception may cross the system's dispatch; a click that failed
  // leaves the window as it was, as a failed pointer click would.
  try {
    if (service) service->window_.Click(static_cast<size_t>(wparam));
  } catch (...) {
  }
  return 0;
}

void TMsaaService::FocusChanged() {
  const int focused = window_.FocusedControl();
  NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd_, OBJID_CLIENT, focused >= 0 ? focused + 1 : CHILDID_SELF);
}

void TMsaaService::ActiveChanged() {
  // The system reports the foreground itself; readers then want the focus.
  if (window_.Active()) FocusChanged();
}

void TMsaaService::BoundsChanged() {
  NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}
}  // namespace

// There is no bus to find on Windows: the window answers as soon as the
// hook is in.
std::unique_ptr<TAccessibilityService> StartAccessibility(TAccessibleWindow& window, WindowSystem& windows) {
  return std::make_unique<TMsaaService>(window, windows);
}

}  // namespace portico
