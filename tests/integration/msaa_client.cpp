// A screen reader's view of the launcher under Wine: finds the window
// titled FormInstall, takes its client object through MSAA and prints it.
//   msaa_client list         the client, then one line per child
//   msaa_client press NAME   the default action of the child named NAME
// Lines, tab-separated: client|child, id, role, name, value, X,Y,W,H,
// state, default action, the child hit at the centre ("-" for a property
// it has not); exit code 0 when every call worked.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  if (!text) return "";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// A string property; "-" when the object has none.
template <class Getter>
std::string Text(Getter get) {
  BSTR text = nullptr;
  if (get(&text) != S_OK) return "-";
  std::string out = Utf8(text);
  SysFreeString(text);
  return out;
}

// Prints one element; false when a call that must work failed.
bool Print(IAccessible* acc, LONG id) {
  const VARIANT child = Child(id);
  VARIANT role, state, hit;
  VariantInit(&role);
  VariantInit(&state);
  VariantInit(&hit);
  LONG x = 0, y = 0, w = 0, h = 0;
  const std::string name = Text([&](BSTR* s) { return acc->get_accName(child, s); });
  const std::string value = Text([&](BSTR* s) { return acc->get_accValue(child, s); });
  const std::string action = Text([&](BSTR* s) { return acc->get_accDefaultAction(child, s); });
  const bool ok = acc->get_accRole(child, &role) == S_OK && acc->get_accState(child, &state) == S_OK &&
                  acc->accLocation(&x, &y, &w, &h, child) == S_OK;
  LONG hit_id = -1;
  if (ok && acc->accHitTest(x + w / 2, y + h / 2, &hit) == S_OK && hit.vt == VT_I4) hit_id = hit.lVal;
  std::printf("%s\t%ld\t%ld\t%s\t%s\t%ld,%ld,%ld,%ld\t0x%lx\t%s\t%ld\n",
              id == CHILDID_SELF ? "client" : "child", static_cast<long>(id), static_cast<long>(role.lVal),
              name.c_str(), value.c_str(), static_cast<long>(x), static_cast<long>(y), static_cast<long>(w),
              static_cast<long>(h), static_cast<unsigned long>(state.lVal), action.c_str(),
              static_cast<long>(hit_id));
  return ok && name != "-";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "list";
  if (!(command == "list" && argc == 2) && !(command == "press" && argc == 3)) {
    std::fprintf(stderr, "usage: msaa_client list | press NAME\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND window = FindWindowW(nullptr, L"FormInstall");
  if (!window) {
    std::fprintf(stderr, "msaa_client: no window titled FormInstall\n");
    return 1;
  }
  IAccessible* acc = nullptr;
  HRESULT hr = AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&acc));
  if (FAILED(hr) || !acc) {
    std::fprintf(stderr, "msaa_client: AccessibleObjectFromWindow: 0x%08lx\n", static_cast<unsigned long>(hr));
    return 1;
  }
  LONG count = 0;
  hr = acc->get_accChildCount(&count);
  bool ok = SUCCEEDED(hr);
  if (command == "list") {
    ok = Print(acc, CHILDID_SELF) && ok;
    for (LONG id = 1; id <= count; ++id) {
      IDispatch* object = reinterpret_cast<IDispatch*>(1);
      // Simple elements: no object of their own.
      if (acc->get_accChild(Child(id), &object) != S_FALSE || object) {
        std::printf("child %ld has an object of its own\n", static_cast<long>(id));
        ok = false;
      }
      ok = Print(acc, id) && ok;
    }
  } else {
    LONG found = 0;
    for (LONG id = 1; id <= count && !found; ++id) {
      if (Text([&](BSTR* s) { return acc->get_accName(Child(id), s); }) == argv[2]) found = id;
    }
    hr = found ? acc->accDoDefaultAction(Child(found)) : E_INVALIDARG;
    std::printf("press %s: 0x%08lx\n", argv[2], static_cast<unsigned long>(hr));
    ok = hr == S_OK;
  }
  acc->Release();
  CoUninitialize();
  return ok ? 0 : 1;
}
