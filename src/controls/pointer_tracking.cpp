// The pointer-driven state of every control: hover, press, capture, click,
// window dragging and the polling timer that notices the pointer leaving.
#include "skin/skin.h"

namespace portico {

namespace {
constexpr unsigned PollTimerId = 1;
constexpr unsigned PollIntervalMs = 100;
constexpr unsigned WM_TIMER = MsgTimer;
}  // namespace

bool TSkinButton::UpdateState(int32_t x, int32_t y, bool button_down, bool foreground) {
  bool changed = false;
  bool inside = foreground && HitTest(x, y);
  if (inside) {
    if (!Hover) {
      Hover = true;
      changed = true;
    }
    if (!Down) {
      if (button_down) {
        Down = true;
        Held = true;
        changed = true;
      }
    } else if (!button_down && Held) {
      Held = false;
      Down = false;
      Clicked = true;
      changed = true;
    }
  } else {
    if (Down || Hover) {
      Down = false;
      Hover = false;
      changed = true;
    }
    if (!(foreground && button_down) && Held) Held = false;
  }
  Changed = changed;
  return changed;
}

void TSkin::ImageMouseDown(TObject*, TMouseButton, TShiftState, int x, int y) {
  HandlePointer(x, y, IsPrimaryButtonDown());
}

void TSkin::ImageMouseMove(TObject*, TShiftState, int x, int y) {
  HandlePointer(x, y, IsPrimaryButtonDown());
}

void TSkin::ImageMouseUp(TObject*, TMouseButton, TShiftState, int x, int y) {
  HandlePointer(x, y, IsPrimaryButtonDown());
}

void TSkin::HandlePointer(int x, int y, bool button_down) {
  bool foreground = HostForm && HostForm->Handle() == GetForegroundWindow();
  TrackPointer(x, y, foreground, button_down);
}

void TSkin::TrackPointer(int x, int y, bool foreground, bool button_down) {
  bool keep_polling = false;
  if (!button_down || !foreground) Dragging = false;

  if (Dragging) {
    TPoint p = Mouse.CursorPos();
    if (p.X != DragOrigin.X || p.Y != DragOrigin.Y) {
      if (HostForm)
        HostForm->SetBounds(HostForm->Left + p.X - DragOrigin.X, HostForm->Top + p.Y - DragOrigin.Y,
                            HostForm->Width, HostForm->Height);
      DragOrigin = p;
    }
    SetPollTimer(false);
    return;
  }

  if (CaptureButton) {
    if (CaptureButton->UpdateState(x, y, button_down, foreground)) DrawButton(CaptureButton);
    if (!CaptureButton->Held) CaptureButton = nullptr;
  } else {
    // Controls that lost the pointer are drawn first, those that gained it
    // afterwards, so that the one under the pointer ends up on top.
    bool gained = false;  // some control still has Changed set
    for (const auto& b : Buttons) {
      if (!b) continue;
      if (b->UpdateState(x, y, button_down, foreground)) {
        if (!b->Hover) {
          b->Changed = false;
          DrawButton(b.get());
        } else {
          gained = true;
        }
      }
      if (b->Hover && !b->Clicked && !b->Held) keep_polling = true;
      if (!CaptureButton && b->Held) CaptureButton = b.get();
    }
    if (gained) {
      for (const auto& b : Buttons) {
        if (b && b->Changed) {
          b->Changed = false;
          DrawButton(b.get());
        }
      }
    }
    if (foreground && button_down && !CaptureButton) {
      DragOrigin = Mouse.CursorPos();
      Dragging = true;
      keep_polling = true;
    }
  }

  ShowFrame(false);

  bool reset_afterwards = false;
  for (const auto& b : Buttons) {
    if (!b || !b->Clicked) continue;
    // Cleared before the handler runs, so a nested step cannot deliver the
    // same click twice.
    b->Clicked = false;
    if (!b->Enabled) continue;
    DrawButton(b.get());
    if (OnButtonClick) {
      OnButtonClick(this, b.get());
      if (!(foreground && button_down)) reset_afterwards = true;
    }
  }
  if (reset_afterwards) ResetPointer();

  SetPollTimer(keep_polling);
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
      TPoint p;
      if (!IsPrimaryButtonDown() && GetCursorPos(p)) {
        WindowHandle window = HostForm->Handle();
        bool left = HostForm->ControlAtPos(HostForm->ScreenToClient(p), false, true) != HostImage ||
                    window != GetForegroundWindow() || WindowFromPoint(p) != window;
        if (left) {
          TrackPointer(0, 0, false, false);
          SetPollTimer(false);
        }
      }
    }
  }
  message.Result = Application->DefWindowProcA(TimerWindow, message.Msg, message.WParam, message.LParam);
}

}  // namespace portico
