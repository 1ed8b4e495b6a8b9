// The IAccessible of the launcher's client area. Every answer is read from
// the window at the time of the call, so moves and focus changes need no
// bookkeeping here.
#include "access/msaa/msaa_client_object.h"

#include <string>
#include <utility>

#include "system/win32/win32_text.h"

namespace portico {

namespace {
// Returns `text` as a new BSTR in *out; E_OUTOFMEMORY when none is left.
HRESULT ToBstr(const std::string& text, BSTR* out) {
  const std::wstring wide = Utf8ToWide(text);
  *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetI4(VARIANT* v, LONG value) {
  v->vt = VT_I4;
  v->lVal = value;
}

LONG Role(TAccessibleRole role) {
  switch (role) {
    case TAccessibleRole::Link: return ROLE_SYSTEM_LINK;
    case TAccessibleRole::Label: return ROLE_SYSTEM_STATICTEXT;
    case TAccessibleRole::PushButton: break;
  }
  return ROLE_SYSTEM_PUSHBUTTON;
}
}  // namespace

TMsaaClientObject::TMsaaClientObject(TAccessibleWindow& window, HWND hwnd, std::function<void(size_t)> click)
    : window_(&window), hwnd_(hwnd), click_(std::move(click)) {}

void TMsaaClientObject::Detach() {
  window_ = nullptr;
  click_ = nullptr;
}

bool TMsaaClientObject::Live() const { return window_ && IsWindow(hwnd_); }

HRESULT TMsaaClientObject::ChildId(const VARIANT& child, LONG& id) const {
  if (!Live()) return RPC_E_DISCONNECTED;
  switch (child.vt) {
    case VT_EMPTY: id = CHILDID_SELF; break;
    case VT_I4: id = child.lVal; break;
    case VT_INT: id = child.intVal; break;
    default: return E_INVALIDARG;
  }
  if (id < 0 || static_cast<size_t>(id) > window_->ControlCount()) return E_INVALIDARG;
  return S_OK;
}

// --- IUnknown ---

HRESULT TMsaaClientObject::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  // __uuidof, not IID_IAccessible: mingw's oleacc import library names a
  // thunk there, not the GUID.
  if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG TMsaaClientObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG TMsaaClientObject::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// --- IDispatch ---

HRESULT TMsaaClientObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT TMsaaClientObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT TMsaaClientObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT TMsaaClientObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// --- IAccessible: the tree ---

HRESULT TMsaaClientObject::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (!Live()) return RPC_E_DISCONNECTED;
  // The system's object for the window frame around the client area.
  return CreateStdAccessibleObject(hwnd_, OBJID_WINDOW, __uuidof(IDispatch), reinterpret_cast<void**>(parent));
}

HRESULT TMsaaClientObject::get_accChildCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (!Live()) return RPC_E_DISCONNECTED;
  *count = static_cast<LONG>(window_->ControlCount());
  return S_OK;
}

HRESULT TMsaaClientObject::get_accChild(VARIANT child, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  LONG id = 0;
  if (const HRESULT hr = ChildId(child, id); FAILED(hr)) return hr;
  if (id == CHILDID_SELF) return E_INVALIDARG;
  // The controls are simple elements, answered through this object.
  return S_FALSE;
}

HRESULT TMsaaClientObject::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  if (!end) return E_POINTER;
  VariantInit(end);
  LONG id = 0;
  if (const HRESULT hr = ChildId(start, id); FAILED(hr)) return hr;
  const LONG count = static_cast<LONG>(window_->ControlCount());
  LONG to = 0;
  if (id == CHILDID_SELF) {
    // From the client itself only into its children; siblings of the
    // client are the system's business.
    if (direction == NAVDIR_FIRSTCHILD) to = 1;
    else if (direction == NAVDIR_LASTCHILD) to = count;
    else if (direction >= NAVDIR_UP && direction <= NAVDIR_PREVIOUS) return S_FALSE;
    else return E_INVALIDARG;
  } else {
    // The controls in the description's order, which is the Tab order.
    switch (direction) {
      case NAVDIR_NEXT: case NAVDIR_DOWN: case NAVDIR_RIGHT: to = id + 1; break;
      case NAVDIR_PREVIOUS: case NAVDIR_UP: case NAVDIR_LEFT: to = id - 1; break;
      case NAVDIR_FIRSTCHILD: case NAVDIR_LASTCHILD: return S_FALSE;  // no children
      default: return E_INVALIDARG;
    }
  }
  if (to < 1 || to > count) return S_FALSE;
  SetI4(end, to);
  return S_OK;
}

HRESULT TMsaaClientObject::accHitTest(LONG x, LONG y, VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  if (!Live()) return RPC_E_DISCONNECTED;
  const TRect screen = window_->ScreenBounds();
  if (!screen.Contains(x, y)) return S_FALSE;
  const int32_t cx = x - screen.Left, cy = y - screen.Top;
  const size_t count = window_->ControlCount();
  for (size_t i = 0; i < count; ++i) {
    if (window_->Control(i).Bounds.Contains(cx, cy)) {
      SetI4(child, static_cast<LONG>(i + 1));
      return S_OK;
    }
  }
  SetI4(child, CHILDID_SELF);
  return S_OK;
}

HRESULT TMsaaClientObject::get_accFocus(VARIANT* focus) {
  if (!focus) return E_POINTER;
  VariantInit(focus);
  if (!Live()) return RPC_E_DISCONNECTED;
  if (!window_->Active()) return S_FALSE;
  const int focused = window_->FocusedControl();
  const bool valid = focused >= 0 && static_cast<size_t>(focused) < window_->ControlCount();
  SetI4(focus, valid ? focused + 1 : CHILDID_SELF);
  return S_OK;
}

HRESULT TMsaaClientObject::get_accSelection(VARIANT* selection) {
  if (!selection) return E_POINTER;
  VariantInit(selection);
  return Live() ? S_FALSE : RPC_E_DISCONNECTED;
}

// --- IAccessible: properties ---

HRESULT TMsaaClientObject::get_accName(VARIANT child, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  LONG id = 0;
  if (const HRESULT hr = ChildId(child, id); FAILED(hr)) return hr;
  return ToBstr(id == CHILDID_SELF ? window_->Name() : window_->Control(id - 1).Name, name);
}

HRESULT TMsaaClientObject::get_accValue(VARIANT child, BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  LONG id = 0;
  if (const HRESULT hr = ChildId(child, id); FAILED(hr)) return hr;
  if (id == CHILDID_SELF) return DISP_E_MEMBERNOTFOUND;
  const TAccessibleControl control = window_->Control(id - 1);
  if (control.Role != TAccessibleRole::Label) return DISP_E_MEMBERNOTFOUND;
  return ToBstr(control.Text, value);
}

HRESULT TMsaaClientObject::get_accRole(VARIANT child, VARIANT* role) {
  if (!role) return E_POINTER;
  VariantInit(role);
  LONG id = 0;
  if (const HRESULT hr = ChildId(child, id); FAILED(hr)) return hr;
  SetI4(role, id == CHILDID_SELF ? ROLE_SYSTEM_CLIENT : Role(window_->Control(id - 1).Role));
  return S_OK;
}

HRESULT TMsaaClientObject::get_accState(VARIANT child, VARIANT* state) {
  if (!state) return E_POINTER;
  VariantInit(state);
  LONG id = 0;
  if (const HRESULT hr = ChildId(child, id); FAILED(hr)) return hr;
  const bool active = window_->Active();
  const int focused = window_->FocusedControl();
  LONG bits = 0;
  if (id == CHILDID_SELF) {
    bits = STATE_SYSTEM_FOCUSABLE;
    if (active && focused < 0) bits |= STATE_SYSTEM_FOCUSED;
  } else {
    const TAccessibleControl control = window_->Control(id - 1);
    if (control.Focusable) bits |= STATE_SYSTEM_FOCUSABLE;
    if (active && focused == id - 1) bits |= STATE_SYSTEM_FOCUSED;
    if (!control.Enabled) bits |= STATE_SYSTEM_UNAVAILABLE;
    if (control.Role == TAccessibleRole::Label) bits |= STATE_SYSTEM_READONLY;
    if (control.Role == TAccessibleRole::Link) bits |= STATE_SYSTEM_LINKED;
  }
  SetI4(state, bits);
  return S_OK;
}

HRESULT TMsaaClientObject::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  LONG id = 0;
  if (const HRESULT hr = ChildId(child, id); FAILED(hr)) return hr;
  const TRect screen = window_->ScreenBounds();
  TRect r = screen;
  if (id != CHILDID_SELF) {
    const TRect bounds = window_->Control(id - 1).Bounds;
    r = TRect{screen.Left + bounds.Left, screen.Top + bounds.Top, screen.Left + bounds.Right,
              screen.Top + bounds.Bottom};
  }
  *left = r.Left;
  *top = r.Top;
  *width = r.Width();
  *height = r.Height();
  return S_OK;
}

HRESULT TMsaaClientObject::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (!action) return E_POINTER;
  *action = nullptr;
  LONG id = 0;
  if (const HRESULT hr = ChildId(child, id); FAILED(hr)) return hr;
  if (id == CHILDID_SELF || window_->Control(id - 1).Role == TAccessibleRole::Label) return DISP_E_MEMBERNOTFOUND;
  return ToBstr("Press", action);
}

HRESULT TMsaaClientObject::accDoDefaultAction(VARIANT child) {
  LONG id = 0;
  if (const HRESULT hr = ChildId(child, id); FAILED(hr)) return hr;
  if (id == CHILDID_SELF) return DISP_E_MEMBERNOTFOUND;
  const TAccessibleControl control = window_->Control(id - 1);
  if (control.Role == TAccessibleRole::Label) return DISP_E_MEMBERNOTFOUND;
  if (!control.Enabled || !click_) return E_FAIL;
  click_(static_cast<size_t>(id - 1));
  return S_OK;
}

// --- IAccessible: what a skin has not ---

HRESULT TMsaaClientObject::get_accDescription(VARIANT child, BSTR* description) {
  if (!description) return E_POINTER;
  *description = nullptr;
  LONG id = 0;
  const HRESULT hr = ChildId(child, id);
  return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT TMsaaClientObject::get_accHelp(VARIANT child, BSTR* help) {
  if (!help) return E_POINTER;
  *help = nullptr;
  LONG id = 0;
  const HRESULT hr = ChildId(child, id);
  return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT TMsaaClientObject::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
  if (!file || !topic) return E_POINTER;
  *file = nullptr;
  *topic = 0;
  LONG id = 0;
  const HRESULT hr = ChildId(child, id);
  return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT TMsaaClientObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  if (!shortcut) return E_POINTER;
  *shortcut = nullptr;
  LONG id = 0;
  const HRESULT hr = ChildId(child, id);
  return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT TMsaaClientObject::accSelect(LONG, VARIANT child) {
  LONG id = 0;
  const HRESULT hr = ChildId(child, id);
  // Focus moves with the keyboard and the pointer only.
  return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT TMsaaClientObject::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT TMsaaClientObject::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace portico
