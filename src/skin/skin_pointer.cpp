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
  TrackPointer(x, y, foreground, button_down);
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
  TPointerFacts facts;
  facts.X = x;
  facts.Y = y;
  facts.Foreground = foreground;
  facts.ButtonDown = button_down;
  facts.OverWindow = over_window;
  if (foreground && button_down) {
    TPoint p;
    if (GetCursorPos(p)) facts.Cursor = p;
  }
  TTrackResult& r = ResultAtDepth(depth_);
  TDepthGuard nesting(depth_);
  tracked_.clear();
  for (const auto& b : Buttons) tracked_.push_back(b.get());
  TrackPointerStep(*this, tracked_, facts, r);

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

void TSkin::ResetPointer() { TrackPointer(0, 0, false, false); }

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
      if (facts.CursorRead) {
        const WindowHandle window = HostForm->Handle();
        facts.OverHostImage =
            HostForm->ControlAtPos(HostForm->ScreenToClient(p), false, true) == HostImage;
        facts.Foreground = window == GetForegroundWindow();
        facts.WindowUnderPointerIsOurs = WindowFromPoint(p) == window;
      }
      if (PointerHasLeft(facts)) {
        TrackPointer(0, 0, false, false);
        SetPollTimer(false);
      }
    }
  }
  message.Result =
      Application->DefWindowProcA(TimerWindow, message.Msg, message.WParam, message.LParam);
}

}  // namespace portico
