// The MSAA service seen from a client in the same process: a real window,
// a stand-in for the launcher's side of the contract.
#include "system/win32/win32_windows.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <vector>

#include "access/accessible.h"
#include "window/win32/win32_window_system.h"

namespace portico {
namespace {

class FakeWindow final : public TAccessibleWindow {
 public:
  explicit FakeWindow(WindowHandle handle) : handle_(handle) {}
  std::string Name() const override { return "FormInstall"; }
  WindowHandle Handle() const override { return handle_; }
  TRect ScreenBounds() const override { return screen; }
  size_t ControlCount() const override { return controls.size(); }
  TAccessibleControl Control(size_t index) const override { return controls.at(index); }
  int FocusedControl() const override { return focused; }
  bool Active() const override { return true; }
  bool Click(size_t index) override {
    clicks.push_back(index);
    return true;
  }

  TRect screen{100, 50, 580, 370};
  std::vector<TAccessibleControl> controls{
      {"Install", TAccessibleRole::PushButton, {32, 236, 152, 276}, true, true, ""},
      {"URL", TAccessibleRole::Link, {28, 168, 176, 190}, true, true, ""},
      {"VersionCaption", TAccessibleRole::Label, {330, 20, 454, 46}, false, false, "1.0 test"},
  };
  int focused = 0;
  std::vector<size_t> clicks;

 private:
  WindowHandle handle_;
};

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

class MsaaServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ws_ = CreateWin32WindowSystem();
    ASSERT_TRUE(ws_);
    handle_ = ws_->CreateTopLevel(TopLevelSpec{"FormInstall", "PorticoMsaaTest"}, 480, 320);
    ASSERT_NE(handle_, 0u);
    window_ = std::make_unique<FakeWindow>(handle_);
    service_ = StartAccessibility(*window_, *ws_);
    ASSERT_TRUE(service_);
    ASSERT_EQ(AccessibleObjectFromWindow(reinterpret_cast<HWND>(handle_), OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&acc_)),
              S_OK);
    ASSERT_TRUE(acc_);
  }
  void TearDown() override {
    if (acc_) acc_->Release();
    service_.reset();
    if (ws_) ws_->DestroyWindow(handle_);
    CoUninitialize();
  }

  std::wstring Name(LONG id) {
    BSTR name = nullptr;
    if (acc_->get_accName(Child(id), &name) != S_OK) return L"?";
    std::wstring out(name, SysStringLen(name));
    SysFreeString(name);
    return out;
  }
  LONG Long(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), LONG id) {
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ((acc_->*get)(Child(id), &v), S_OK);
    return v.vt == VT_I4 ? v.lVal : -1;
  }

  std::unique_ptr<WindowSystem> ws_;
  WindowHandle handle_ = 0;
  std::unique_ptr<FakeWindow> window_;
  std::unique_ptr<TAccessibilityService> service_;
  IAccessible* acc_ = nullptr;
};

TEST_F(MsaaServiceTest, ChildrenAreTheControlsWithTheirRolesStatesAndPlaces) {
  LONG count = 0;
  ASSERT_EQ(acc_->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(Name(CHILDID_SELF), L"FormInstall");
  EXPECT_EQ(Name(1), L"Install");
  EXPECT_EQ(Name(3), L"VersionCaption");
  EXPECT_EQ(Long(&IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_CLIENT);
  EXPECT_EQ(Long(&IAccessible::get_accRole, 1), ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(Long(&IAccessible::get_accRole, 2), ROLE_SYSTEM_LINK);
  EXPECT_EQ(Long(&IAccessible::get_accRole, 3), ROLE_SYSTEM_STATICTEXT);
  EXPECT_EQ(Long(&IAccessible::get_accState, 1), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
  EXPECT_EQ(Long(&IAccessible::get_accState, 3) & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE),
            STATE_SYSTEM_UNAVAILABLE);
  BSTR value = nullptr;
  ASSERT_EQ(acc_->get_accValue(Child(3), &value), S_OK);
  EXPECT_STREQ(value, L"1.0 test");
  SysFreeString(value);

  IDispatch* object = nullptr;
  EXPECT_EQ(acc_->get_accChild(Child(1), &object), S_FALSE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(acc_->get_accChild(Child(4), &object), E_INVALIDARG);

  // Read where the window is at each call.
  LONG x = 0, y = 0, w = 0, h = 0;
  window_->screen = TRect{10, 20, 490, 340};
  ASSERT_EQ(acc_->accLocation(&x, &y, &w, &h, Child(1)), S_OK);
  EXPECT_EQ((std::vector<LONG>{x, y, w, h}), (std::vector<LONG>{42, 256, 120, 40}));
  VARIANT hit;
  VariantInit(&hit);
  ASSERT_EQ(acc_->accHitTest(x + 1, y + 1, &hit), S_OK);
  EXPECT_EQ(hit.lVal, 1);
  VARIANT focus;
  VariantInit(&focus);
  ASSERT_EQ(acc_->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.lVal, 1);
}

// A click can end the message loop: it waits until the call that asked for
// it has returned, and disabled controls take none.
TEST_F(MsaaServiceTest, DefaultActionClicksOnceTheCallHasReturned) {
  window_->controls[1].Enabled = false;
  EXPECT_EQ(acc_->accDoDefaultAction(Child(2)), E_FAIL);
  EXPECT_EQ(acc_->accDoDefaultAction(Child(1)), S_OK);
  EXPECT_TRUE(window_->clicks.empty());
  ws_->WaitEvents(0);
  EXPECT_EQ(window_->clicks, std::vector<size_t>{0});
}

// Focus events as a screen reader hooks them: (window, client, child id).
std::vector<std::vector<LONG>> focus_events;
void CALLBACK OnFocusEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  focus_events.push_back({static_cast<LONG>(reinterpret_cast<intptr_t>(window)), object, child});
}

TEST_F(MsaaServiceTest, FocusChangesReachScreenReadersAsFocusEvents) {
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &OnFocusEvent,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  focus_events.clear();
  window_->focused = 2;
  service_->FocusChanged();
  window_->focused = -1;
  service_->FocusChanged();
  ws_->WaitEvents(0);
  UnhookWinEvent(hook);
  const LONG window = static_cast<LONG>(handle_);
  EXPECT_EQ(focus_events,
            (std::vector<std::vector<LONG>>{{window, OBJID_CLIENT, 3}, {window, OBJID_CLIENT, CHILDID_SELF}}));
}

TEST_F(MsaaServiceTest, ObjectKeptPastTheServiceAnswersDisconnected) {
  acc_->AddRef();
  EXPECT_EQ(acc_->accDoDefaultAction(Child(1)), S_OK);
  service_.reset();
  window_.reset();
  ws_->WaitEvents(0);  // the queued click is gone with the service
  LONG count = 0;
  EXPECT_EQ(acc_->get_accChildCount(&count), RPC_E_DISCONNECTED);
  BSTR name = nullptr;
  EXPECT_EQ(acc_->get_accName(Child(1), &name), RPC_E_DISCONNECTED);
  acc_->Release();
}

}  // namespace
}  // namespace portico
