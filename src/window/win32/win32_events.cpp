// The message loop and the window procedure: waiting for messages and
// turning them into calls on the sink.
#include <algorithm>
#include <climits>
#include <utility>

#include "window/win32/win32_backend.h"

namespace portico {

namespace {
// Messages handled per WaitEvents: a flood must not keep the caller from
// its timers.
constexpr int MaxMessagesPerWait = 256;

// Sets a value for the time of a dispatch.
template <class T>
class ScopedValue {
 public:
  ScopedValue(std::optional<T>& slot, T value) : slot_(slot), saved_(slot) { slot_ = value; }
  ~ScopedValue() { slot_ = saved_; }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  std::optional<T>& slot_;
  std::optional<T> saved_;
};

// The keys the contract reports going down and up (VirtualKey's values
// are the virtual-key codes).
bool IsContractKey(WPARAM key) {
  switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      return true;
    default:
      return false;
  }
}

static_assert(WPARAM(VirtualKey::Tab) == VK_TAB && WPARAM(VirtualKey::Return) == VK_RETURN &&
              WPARAM(VirtualKey::Escape) == VK_ESCAPE && WPARAM(VirtualKey::Space) == VK_SPACE &&
              WPARAM(VirtualKey::Left) == VK_LEFT && WPARAM(VirtualKey::Up) == VK_UP &&
              WPARAM(VirtualKey::Right) == VK_RIGHT && WPARAM(VirtualKey::Down) == VK_DOWN);

// Client coordinates of a mouse message; negative outside the window
// while the pointer is captured.
int MessageX(LPARAM lparam) { return static_cast<short>(LOWORD(lparam)); }
int MessageY(LPARAM lparam) { return static_cast<short>(HIWORD(lparam)); }
}  // namespace

void Win32WindowSystem::WaitEvents(int64_t timeout_ms) {
  const DWORD timeout =
      timeout_ms < 0 ? INFINITE : static_cast<DWORD>(std::min<int64_t>(timeout_ms, INFINITE - 1));
  // Returns at once when input is queued, even input seen before.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  DrainQueue();
}

void Win32WindowSystem::DrainQueue() {
  MSG msg;
  for (int n = 0; n < MaxMessagesPerWait && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (msg.message == WM_QUIT) {
      // Not ours to end the loop on: keep it for whoever asked for it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
  }
}

LRESULT CALLBACK Win32WindowSystem::WindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* ws = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!ws) return DefWindowProcW(window, msg, wparam, lparam);
  // No exception may cross the system's dispatch: keep it for DrainQueue.
  try {
    return ws->HandleMessage(window, msg, wparam, lparam);
  } catch (...) {
    if (!ws->pending_) ws->pending_ = std::current_exception();
    return 0;
  }
}

LRESULT Win32WindowSystem::HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  TopLevel* w = Find(window);
  if (!w) return DefWindowProcW(window, msg, wparam, lparam);
  const WindowHandle handle = reinterpret_cast<WindowHandle>(window);
  if (HandlePointer(window, msg, wparam, lparam)) return 0;
  switch (msg) {
    case WM_ERASEBKGND:
      // Nothing paints under the picture: no flicker.
      return 1;
    case WM_PAINT:
      Paint(window, *w);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (sink_ && IsContractKey(wparam)) {
        // The shift state as of this message; a key held down repeats as
        // more WM_KEYDOWN messages.
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        sink_->KeyEvent(handle, msg == WM_KEYDOWN ? KeyAction::Down : KeyAction::Up,
                        static_cast<VirtualKey>(wparam), shift);
        return 0;
      }
      return DefWindowProcW(window, msg, wparam, lparam);
    case WM_ACTIVATE: {
      // The default gives the window the keyboard focus when it becomes active.
      const LRESULT result = DefWindowProcW(window, msg, wparam, lparam);
      if (sink_) sink_->KeyboardFocusChanged(handle);
      return result;
    }
    case WM_CHAR:
      // Only ASCII matters to the form (Escape).
      if (sink_ && wparam < 0x80) sink_->KeyChar(handle, static_cast<char>(wparam));
      return 0;
    case WM_CLOSE:
      // Alt+F4 and the system's close ask; the application decides.
      if (sink_) sink_->CloseRequested(handle);
      return 0;
    case WM_MOVE:
      if (sink_) sink_->WindowMoved(handle, MessageX(lparam), MessageY(lparam));
      return 0;
    case WM_DPICHANGED:
      // The new DPI in both words of wparam, the suggested outer bounds at lparam.
      if (lparam) DpiChanged(window, LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_GETOBJECT: {
      // A copy: the hook may run while the window's entry goes away.
      const auto hook = w->AccessibleObject;
      const intptr_t result = hook ? hook(wparam, lparam) : 0;
      return result ? result : DefWindowProcW(window, msg, wparam, lparam);
    }
    case WM_DESTROY:
      if (window != destroying_) {
        // Someone else ended the window: forget it, then tell the owner.
        windows_.erase(window);
        if (sink_) sink_->WindowDestroyed(handle);
      }
      return 0;
    default:
      return DefWindowProcW(window, msg, wparam, lparam);
  }
}

bool Win32WindowSystem::HandlePointer(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  PointerAction action = PointerAction::Move;
  int button = 0;
  switch (msg) {
    case WM_MOUSEMOVE:
      break;
    // The system swaps left and right messages itself when the user
    // swapped the buttons: the left messages are the primary button's.
    case WM_LBUTTONDOWN: action = PointerAction::Press; button = 1; break;
    case WM_LBUTTONUP: action = PointerAction::Release; button = 1; break;
    case WM_MBUTTONDOWN: action = PointerAction::Press; button = 2; break;
    case WM_MBUTTONUP: action = PointerAction::Release; button = 2; break;
    case WM_RBUTTONDOWN: action = PointerAction::Press; button = 3; break;
    case WM_RBUTTONUP: action = PointerAction::Release; button = 3; break;
    default:
      return false;
  }
  // Windows has no implicit grab: a press captures the pointer so that its
  // moves and its release still come here outside the window; the capture
  // ends when no button is held any more.
  const WPARAM held = wparam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON);
  if (action == PointerAction::Press && GetCapture() != window) SetCapture(window);
  if (action == PointerAction::Release && !held && GetCapture() == window) ReleaseCapture();
  if (!sink_) return true;
  // The key-state flags tell the buttons as this message left them, and
  // GetMessagePos where the pointer was when it was sent: a drag measures
  // its travel from there, not from where the pointer has got to since.
  ScopedValue<bool> button_state(event_button_, (wparam & MK_LBUTTON) != 0);
  const DWORD sent_at = GetMessagePos();
  ScopedValue<TPoint> cursor_state(event_cursor_, TPoint{static_cast<short>(LOWORD(sent_at)),
                                                         static_cast<short>(HIWORD(sent_at))});
  sink_->PointerEvent(reinterpret_cast<WindowHandle>(window), action, button, MessageX(lparam), MessageY(lparam));
  return true;
}

}  // namespace portico
