#include "controls/pointer_tracker.h"

namespace portico {

// In the same file as the step that calls it for every control, so the
// compiler can inline it into the loop.
bool TPointerControl::UpdateState(int32_t x, int32_t y, bool button_down, bool foreground, bool over_window) {
  return UpdateLook(foreground && over_window && HitTest(x, y), button_down, foreground);
}

bool TPointerControl::UpdateLook(bool inside, bool button_down, bool foreground) {
  bool changed = false;
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

namespace {
// The enabled control at `index`, or null.
TPointerControl* EnabledAt(std::span<TPointerControl* const> controls, int index) {
  if (index < 0 || size_t(index) >= controls.size()) return nullptr;
  TPointerControl* c = controls[size_t(index)];
  return c && c->Enabled ? c : nullptr;
}

// Whether a pointer step takes the lit state back from the keyboard: the
// primary button is held in front, or the pointer is over an enabled
// control other than the focused one.
bool PointerTakesLitState(std::span<TPointerControl* const> controls, const TPointerControl* focused,
                          const TPointerFacts& f) {
  if (f.ButtonDown) return true;
  if (!f.OverWindow) return false;
  for (const TPointerControl* c : controls)
    if (c && c != focused && c->Enabled && c->HitTest(f.X, f.Y)) return true;
  return false;
}
}  // namespace

int NextFocus(std::span<TPointerControl* const> controls, int current, bool backward) {
  const int n = static_cast<int>(controls.size());
  if (n == 0) return -1;
  // From none the search starts just outside the list.
  int i = current >= 0 && current < n ? current : (backward ? n : -1);
  for (int k = 0; k < n; ++k) {
    i = backward ? (i - 1 + n) % n : (i + 1) % n;
    if (EnabledAt(controls, i)) return i;
  }
  return -1;
}

void TrackPointerStep(TTrackingState& state, std::span<TPointerControl* const> controls,
                      const TPointerFacts& f, TTrackResult& r) {
  r.Redraw.clear();
  r.Clicks.clear();
  r.CursorUnreadable = false;
  r.MoveWindow = false;
  r.MoveBy = TPoint{};
  r.ShowFrame = false;
  r.ResetAfterClicks = false;
  r.KeepPolling = false;
  r.DragStarted = false;
  r.WindowManagerDragEnded = false;

  const bool held_in_front = f.ButtonDown && f.Foreground;
  const bool from_pointer = f.Cause == TStepCause::Pointer;
  if (state.Dragging && !from_pointer) {
    // Keys and actions wait for the drag to end; the poll goes on as it was.
    r.KeepPolling = state.DragByWindowManager;
    return;
  }
  if (!held_in_front) {
    r.WindowManagerDragEnded = state.Dragging && state.DragByWindowManager;
    state.Dragging = false;
    state.DragByWindowManager = false;
  }

  if (state.Dragging && state.DragByWindowManager) {
    // The window manager moves the window and may keep the release to
    // itself: the polling timer watches for the button going up.
    r.KeepPolling = true;
    return;
  }
  if (state.Dragging) {
    // The window follows the pointer; no control is updated or redrawn.
    if (!f.Cursor) {
      r.CursorUnreadable = true;
      return;
    }
    const TPoint p = *f.Cursor;
    if (p != state.DragOrigin) {
      r.MoveWindow = true;
      r.MoveBy = TPoint{p.X - state.DragOrigin.X, p.Y - state.DragOrigin.Y};
      state.DragOrigin = p;
    }
    return;
  }

  // Who holds the lit state: the keyboard or the pointer.
  TPointerControl* const focused = EnabledAt(controls, f.Focus);
  if (!f.Foreground || !focused)
    state.KeyboardLit = false;
  else if (f.Cause == TStepCause::Key)
    state.KeyboardLit = true;
  else if (from_pointer && state.KeyboardLit && !f.KeyHeld && PointerTakesLitState(controls, focused, f))
    state.KeyboardLit = false;
  // The poll watches for the foreground going, wherever the pointer is.
  if (state.KeyboardLit) r.KeepPolling = true;
  const bool keyboard = state.KeyboardLit;
  // Whether a control is lit, and whether what presses it is held.
  auto update = [&](TPointerControl* c) {
    if (keyboard) {
      const bool is_focused = c == focused;
      return c->UpdateLook(is_focused, is_focused && f.KeyHeld, f.Foreground);
    }
    return c->UpdateState(f.X, f.Y, f.ButtonDown, f.Foreground, f.OverWindow);
  };

  if (state.CaptureButton) {
    // Only the control that holds the pointer (or the held key) is updated.
    TPointerControl* c = state.CaptureButton;
    if (update(c)) r.Redraw.push_back(c);
    if (!c->Held) state.CaptureButton = nullptr;
  } else {
    // Controls that lost the pointer are drawn at once, those that gained
    // it after all others, so the one under the pointer is drawn last.
    size_t gained = 0;
    for (TPointerControl* c : controls) {
      if (!c) continue;
      if (update(c)) {
        if (!c->Hover) {
          c->Changed = false;
          r.Redraw.push_back(c);
        } else {
          ++gained;
        }
      }
      if (c->Hover && !c->Clicked && !c->Held) r.KeepPolling = true;
      if (!state.CaptureButton && c->Held) state.CaptureButton = c;
    }
    if (gained > 0) {
      for (TPointerControl* c : controls) {
        if (c && c->Changed) {
          c->Changed = false;
          r.Redraw.push_back(c);
        }
      }
    }
    if (held_in_front && !state.CaptureButton && from_pointer && f.OverWindow) {
      // A press on the window that no control took drags it.
      if (!f.Cursor) {
        r.CursorUnreadable = true;
        return;
      }
      state.DragOrigin = *f.Cursor;
      state.Dragging = true;
      r.DragStarted = true;
      r.KeepPolling = true;
    }
  }

  if (TPointerControl* c = EnabledAt(controls, f.Invoke)) {
    // The action clicks it; a press on it ends without a click of its own.
    c->Down = false;
    c->Held = false;
    if (state.CaptureButton == c) state.CaptureButton = nullptr;
    c->Clicked = true;
  }

  r.ShowFrame = true;
  for (TPointerControl* c : controls) {
    if (!c || !c->Clicked) continue;
    c->Clicked = false;
    // A click on a disabled control is dropped.
    if (c->Enabled) r.Clicks.push_back(c);
  }
  r.ResetAfterClicks = !r.Clicks.empty() && !held_in_front;
}

bool PollEndsDrag(const TPollFacts& f) { return f.DragByWindowManager && !f.ButtonDown; }

bool PointerHasLeft(const TPollFacts& f) {
  if (f.ButtonDown || !f.CursorRead) return false;
  return !f.OverHostImage || !f.Foreground || !f.WindowUnderPointerIsOurs;
}

bool KeyboardLitEnds(const TPollFacts& f) {
  if (!f.KeyboardLit || f.ButtonDown) return false;
  return !f.Foreground || !f.FocusedUncovered;
}

bool PollResets(const TPollFacts& f) { return f.KeyboardLit ? KeyboardLitEnds(f) : PointerHasLeft(f); }

}  // namespace portico
