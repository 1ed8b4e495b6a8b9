// The skin's side of pointer tracking: the image's mouse events and the
// polling timer gather what the window system knows, the state machine
// (controls/pointer_tracker) decides, and the result is carried out here.
#include "system/errors.h"
#include "skin/skin.h"

namespace portico {

namespace {
constexpr unsigned PollTimerId = 1;
constexpr unsigned PollIntervalMs = 100;
constexpr unsigned WM_TIMER = MsgTimer;

// Counts one nesting level of TrackPointer for as long as it runs.
class TDepthGuard {
 public:
  explicit TDepthGuard(size_t& depth) : depth_(depth) { ++depth_; }
  ~TDepthGuard() { --depth_; }
  TDepthGuard(const TDepthGuard&) = delete;
  TDepthGuard& operator=(const TDepthGuard&) = delete;

 private:
  size_t& depth_;
};
}  // namespace

void TSkin::ImageMouseDown(TObject*, TMouseButton, TShiftState, int x, int y) {
  HandlePointer(x, y, IsPrimaryButtonDown());
}

void TSkin::ImageMouseMove(TObject*, TShiftState, int x, int y) {
  HandlePointer(x, y, IsPrimaryButtonDown());
}

void TSkin::ImageMouseUp(TObject*, TMouseButton, TShiftState, int x, int y) {
  HandlePointer(x, y, IsPrimaryButtonDown());
}

void TSkin::ImageMouseLeave(TObject*) {
  const bool foreground = HostForm && HostForm->Handle() == GetForegroundWindow();
  TrackPointer(0, 0, foreground, IsPrimaryButtonDown(), false);
}

void TSkin::HandlePointer(int x, int y, bool button_down) {
  const bool foreground = HostForm && HostForm->Handle() == GetForegroundWindow();
  // Some window systems pass events on cut-away pixels to the window
  // anyway: there the pointer is not on it.
  const TPoint client = HostImage ? TPoint{x + HostImage->Left, y + HostImage->Top} : TPoint{x, y};
  const bool on_shape = !HostForm || PtInWindowShape(HostForm->Handle(), client);
  TrackPointer(x, y, foreground, button_down, on_shape);
}

TTrackResult& TSkin::ResultAtDepth(size_t depth) {
  while (results_.size() <= depth) {
    results_.push_back(std::make_unique<TTrackResult>());
    results_.back()->Redraw.reserve(Buttons.size());
    results_.back()->Clicks.reserve(Buttons.size());
  }
  return *results_[depth];
}

void TSkin::TrackPointer(int x, int y, bool foreground, bool button_down, bool over_window) {
  // The controls are in the description's coordinates: a frame pixel at
  // scale k is in the block of the description pixel (x / k, y / k).
  auto unscale = [this](int v) { return v >= 0 ? v / Scale : -((-int64_t{v} + Scale - 1) / Scale); };
  x = int(unscale(x));
  y = int(unscale(y));
  TPointerFacts facts;
  facts.X = x;
  facts.Y = y;
  facts.Foreground = foreground;
  facts.ButtonDown = button_down;
  facts.OverWindow = over_window;
  last_pointer_ = TPoint{x, y};
  last_over_window_ = over_window;
  RunStep(facts);
}

void TSkin::RunStep(TPointerFacts& facts) {
  facts.Focus = focus_;
  facts.KeyHeld = key_held_;
  if (facts.Foreground && facts.ButtonDown) {
    TPoint p;
    if (GetCursorPos(p)) facts.Cursor = p;
  }
  TTrackResult& r = ResultAtDepth(depth_);
  TDepthGuard nesting(depth_);
  tracked_.clear();
  for (const auto& b : Buttons) tracked_.push_back(b.get());
  TrackPointerStep(*this, tracked_, facts, r);
  // A held key whose press the step let go (the foreground went) clicks nothing when it comes up.
  if (!KeyboardLit) key_held_ = false;

  // Every control in the step's lists is one of Buttons.
  for (TPointerControl* c : r.Redraw) DrawButton(static_cast<TSkinButton*>(c));
  if (r.CursorUnreadable) throw EOSError("the pointer position cannot be read");
  if (r.WindowManagerDragEnded) EndWindowManagerDrag();
  if (r.DragStarted) StartDrag();
  if (r.MoveWindow && HostForm)
    HostForm->SetBounds(HostForm->Left + r.MoveBy.X, HostForm->Top + r.MoveBy.Y, HostForm->Width,
                        HostForm->Height);
  if (r.ShowFrame) ShowFrame(false);
  for (TPointerControl* c : r.Clicks) {
    auto* button = static_cast<TSkinButton*>(c);
    DrawButton(button);
    if (OnButtonClick) OnButtonClick(this, button);
  }
  if (OnButtonClick && r.ResetAfterClicks) ResetPointer();
  SetPollTimer(r.KeepPolling);
}

void TSkin::StartDrag() {
  if (!HostForm) return;
  drag_window_origin_ = TPoint{HostForm->Left, HostForm->Top};
  DragByWindowManager = BeginWindowManagerMove(HostForm->Handle(), DragOrigin);
}

void TSkin::EndWindowManagerDrag() {
  if (!HostForm || EndWindowManagerMove(HostForm->Handle())) return;
  // The window manager never saw the release: the window goes where the
  // pointer took it, from where it was when the drag started.
  TPoint p;
  if (!GetCursorPos(p)) return;
  HostForm->SetBounds(drag_window_origin_.X + p.X - DragOrigin.X, drag_window_origin_.Y + p.Y - DragOrigin.Y,
                      HostForm->Width, HostForm->Height);
}

// No foreground: nothing is lit, by the pointer or the keyboard, until the
// pointer moves or a key is pressed again.
void TSkin::ResetPointer() { TrackPointer(0, 0, false, false, false); }

void TSkin::SetPollTimer(bool on) {
  if (!TimerWindow) return;
  if (TimerId != 0) {
    Application->KillTimer(TimerWindow, TimerId);
    TimerId = 0;
  }
  if (on) TimerId = Application->SetTimer(TimerWindow, PollTimerId, PollIntervalMs);
}

void TSkin::TimerWndProc(TMessage& message) {
  if (message.Msg == WM_TIMER && message.WParam == PollTimerId) {
    if (!HostImage || !HostForm) {
      SetPollTimer(false);
    } else {
      TPollFacts facts;
      facts.DragByWindowManager = Dragging && DragByWindowManager;
      facts.ButtonDown = IsPrimaryButtonDown();
      TPoint p;
      facts.CursorRead = !facts.ButtonDown && GetCursorPos(p);
      if (PollEndsDrag(facts) && facts.CursorRead) {
        // The step a release would have run, at the pointer's position.
        const TPoint client = HostForm->ScreenToClient(p);
        const bool foreground = HostForm->Handle() == GetForegroundWindow();
        TrackPointer(client.X - HostImage->Left, client.Y - HostImage->Top, foreground, false);
      }
      const WindowHandle window = HostForm->Handle();
      if (facts.CursorRead) {
        facts.OverHostImage =
            HostForm->ControlAtPos(HostForm->ScreenToClient(p), false, true) == HostImage;
        facts.WindowUnderPointerIsOurs = WindowFromPoint(p) == window;
      }
      facts.KeyboardLit = KeyboardLit;
      if (facts.CursorRead || KeyboardLit) facts.Foreground = window == GetForegroundWindow();
      if (KeyboardLit && !facts.ButtonDown) facts.FocusedUncovered = WindowFromPoint(FocusedScreenPoint()) == window;
      if (PollResets(facts)) {
        ResetPointer();
        SetPollTimer(false);
      }
    }
  }
  message.Result =
      Application->DefWindowProcA(TimerWindow, message.Msg, message.WParam, message.LParam);
}

}  // namespace portico

namespace portico {

TPointerFacts TSkin::NonPointerFacts(TStepCause cause) const {
  TPointerFacts facts;
  facts.Cause = cause;
  facts.X = last_pointer_.X;
  facts.Y = last_pointer_.Y;
  facts.OverWindow = last_over_window_;
  facts.Foreground = HostForm && HostForm->Handle() == GetForegroundWindow();
  return facts;
}

bool TSkin::PointerBusy() const {
  // A capture that a held key made is the keyboard's.
  return Dragging || (CaptureButton && !key_held_) || IsPrimaryButtonDown();
}

bool TSkin::KeyDown(VirtualKey key, bool shift) {
  switch (key) {
    case VirtualKey::Tab:
      return MoveFocus(shift);
    case VirtualKey::Right:
    case VirtualKey::Down:
      return MoveFocus(false);
    case VirtualKey::Left:
    case VirtualKey::Up:
      return MoveFocus(true);
    case VirtualKey::Return:
    case VirtualKey::Space:
      return PressFocused(key);
    default:
      return false;
  }
}

bool TSkin::KeyUp(VirtualKey key, bool) {
  // Only the key that pressed the control lets it go.
  if (!key_held_ || key != held_key_) return false;
  key_held_ = false;
  TPointerFacts facts = NonPointerFacts(TStepCause::Key);
  RunStep(facts);
  return true;
}

bool TSkin::MoveFocus(bool backward) {
  // The focus stays on a control held down by a key.
  if (key_held_ || PointerBusy()) return false;
  tracked_.clear();
  for (const auto& b : Buttons) tracked_.push_back(b.get());
  const int next = NextFocus(tracked_, focus_, backward);
  if (next < 0) return false;
  const bool moved = next != focus_;
  focus_ = next;
  TPointerFacts facts = NonPointerFacts(TStepCause::Key);
  RunStep(facts);
  if (moved && OnFocusChange) OnFocusChange(this);
  return true;
}

bool TSkin::PressFocused(VirtualKey key) {
  // A key held down repeats; the other key adds nothing.
  if (key_held_) return true;
  if (focus_ < 0 || size_t(focus_) >= Buttons.size() || !Buttons[size_t(focus_)]->Enabled || PointerBusy())
    return false;
  key_held_ = true;
  held_key_ = key;
  TPointerFacts facts = NonPointerFacts(TStepCause::Key);
  RunStep(facts);
  return true;
}

bool TSkin::InvokeButton(size_t index) {
  if (index >= Buttons.size() || !Buttons[index] || !Buttons[index]->Enabled || Dragging) return false;
  TPointerFacts facts = NonPointerFacts(TStepCause::Action);
  facts.ButtonDown = IsPrimaryButtonDown();
  facts.Invoke = static_cast<int>(index);
  RunStep(facts);
  return true;
}

TPoint TSkin::FocusedScreenPoint() const {
  if (!HostForm || focus_ < 0 || size_t(focus_) >= Buttons.size()) return TPoint{};
  const TPoint p = Buttons[size_t(focus_)]->InsidePoint();
  const int image_left = HostImage ? HostImage->Left : 0, image_top = HostImage ? HostImage->Top : 0;
  return TPoint{HostForm->Left + image_left + p.X * Scale, HostForm->Top + image_top + p.Y * Scale};
}

}  // namespace portico
