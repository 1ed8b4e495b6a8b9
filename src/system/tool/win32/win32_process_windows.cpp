// Other processes' windows on Windows: a visible top-level window is found
// by the process that owns it and its title, and moved keeping its size.
#include "system/win32/win32_windows.h"

#include "system/tool/process_windows.h"
#include "system/win32/win32_text.h"

namespace portico {

namespace {
class Win32ProcessWindows final : public TProcessWindows {
 public:
  std::optional<TPoint> WindowPosition(TProcessId pid, const std::string& title) override {
    const HWND window = Find(pid, title);
    POINT origin{0, 0};
    if (!window || !ClientToScreen(window, &origin)) return std::nullopt;
    return TPoint{origin.x, origin.y};
  }

  std::optional<TPointerOver> PointerOver(TProcessId pid, const std::string& title) override {
    const HWND window = Find(pid, title);
    POINT at{};
    RECT client{};
    if (!window || !GetCursorPos(&at) || !ScreenToClient(window, &at) ||
        !GetClientRect(window, &client))
      return std::nullopt;
    return TPointerOver{TPoint{at.x, at.y}, TPoint{client.right, client.bottom}};
  }

  bool MoveWindow(TProcessId pid, const std::string& title, TPoint position) override {
    const HWND window = Find(pid, title);
    RECT outer{};
    POINT origin{0, 0};
    if (!window || !GetWindowRect(window, &outer) || !ClientToScreen(window, &origin)) return false;
    // Posted to the window's own thread: a launcher that hangs cannot
    // hang the tool.
    return SetWindowPos(window, nullptr, outer.left + position.X - origin.x,
                        outer.top + position.Y - origin.y, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
  }

 private:
  struct TSearch {
    DWORD Pid;
    std::wstring Title;
    HWND Found;
  };

  static BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->Pid || !IsWindowVisible(window)) return TRUE;
    // Room for one character more than the title: a longer one differs.
    std::wstring text(search->Title.size() + 2, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    if (text != search->Title) return TRUE;
    search->Found = window;
    return FALSE;
  }

  static HWND Find(TProcessId pid, const std::string& title) {
    TSearch search{DWORD(pid), Utf8ToWide(title), nullptr};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.Found;
  }
};
}  // namespace

std::unique_ptr<TProcessWindows> TProcessWindows::Open() {
  // Every interactive session has a desktop; a service may have none.
  if (!GetDesktopWindow()) return nullptr;
  return std::make_unique<Win32ProcessWindows>();
}

}  // namespace portico
