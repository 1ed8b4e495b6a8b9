#include "controls/pointer_tracker.h"

namespace portico {

// In the same file as the step that calls it for every control, so the
// compiler can inline it into the loop.
bool TPointerControl::UpdateState(int32_t x, int32_t y, bool button_down, bool foreground, bool over_window) {
  bool changed = false;
  const bool inside = foreground && over_window && HitTest(x, y);
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

  if (state.CaptureButton) {
    // Only the control that holds the pointer is updated.
    TPointerControl* c = state.CaptureButton;
    if (c->UpdateState(f.X, f.Y, f.ButtonDown, f.Foreground, f.OverWindow)) r.Redraw.push_back(c);
    if (!c->Held) state.CaptureButton = nullptr;
  } else {
    // Controls that lost the pointer are drawn at once, those that gained
    // it after all others, so the one under the pointer is drawn last.
    size_t gained = 0;
    for (TPointerControl* c : controls) {
      if (!c) continue;
      if (c->UpdateState(f.X, f.Y, f.ButtonDown, f.Foreground, f.OverWindow)) {
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
    if (held_in_front && !state.CaptureButton) {
      // A press that no control took drags the window.
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

}  // namespace portico
