// The pointer state machine of a skin, as one pure step: given what a
// pointer event (or the polling timer, or a key) knows, it moves the
// controls' flags and the capture and drag state, and says what must
// happen next. The caller gathers the facts from the window system and
// carries out the result (redraws, frame hand-over, window move, clicks,
// timer). The keyboard's part (the focused control, a held Enter or
// Space) comes as facts of the same step: one lit control at a time, one
// way to a click.
#pragma once
#include <optional>
#include <span>
#include <vector>

#include "controls/pointer_control.h"
#include "graphics/types.h"

namespace portico {

// The capture and drag state that lives between steps.
struct TTrackingState {
  TPointerControl* CaptureButton = nullptr;  // holds the pointer while the button is down
  TPoint DragOrigin;                         // pointer's screen position at the last drag step
  bool Dragging = false;
  // The window manager moves the window for the running drag (set by the
  // caller when it handed the drag over): steps move nothing themselves,
  // and DragOrigin stays where the press was.
  bool DragByWindowManager = false;
  // The keyboard holds the lit state: the focused control (see
  // TPointerFacts::Focus) is lit, and pressed while a key is held; no
  // other control is lit, wherever the pointer is. A key step with the
  // foreground and an enabled focused control sets it. A step without the
  // foreground or without such a control ends it, and so does a pointer
  // step that holds the primary button or is over another enabled control
  // (the pointer takes the lit state back), but not while a key is held.
  bool KeyboardLit = false;
};

// What started a step.
enum class TStepCause {
  // A pointer event, a tick of the polling timer, a reset.
  Pointer,
  // A key: the keyboard focus moved, or Enter or Space went down or up.
  // With the foreground and a focused control the keyboard takes the lit
  // state. No drag starts or ends.
  Key,
  // An action of an assistive technology (TPointerFacts::Invoke): it
  // lights nothing and starts or ends no drag.
  Action,
};

// What one step knows.
struct TPointerFacts {
  int32_t X = 0, Y = 0;     // pointer in frame coordinates
  bool Foreground = false;  // our window is the foreground window
  bool ButtonDown = false;  // the primary button (see IsPrimaryButtonDown)
  // False when the pointer has left the window: X and Y are then stale and
  // no control is under the pointer.
  bool OverWindow = true;
  // The pointer's screen position, for a drag: read only when the window
  // is foreground and the button is down, the one case a drag can start or
  // go on; none when it could not be read.
  std::optional<TPoint> Cursor;

  // What started the step. For a key or an action, X, Y and OverWindow
  // are where the last pointer step left the pointer.
  TStepCause Cause = TStepCause::Pointer;
  // The keyboard: the index in the control list of the control with the
  // keyboard focus, -1 for none (a disabled or missing control counts as
  // none); whether Enter or Space is held on it.
  int Focus = -1;
  bool KeyHeld = false;
  // A control to click as a completed click on it would, by its index (an
  // assistive technology's action); -1 for none. A disabled or missing
  // control is not clicked. A press on it ends without a click of its own.
  int Invoke = -1;
};

// What must happen after one step, in this order.
struct TTrackResult {
  // Controls to redraw, in order: those that lost the pointer first, then
  // those that gained it, so the one under the pointer ends up on top.
  std::vector<TPointerControl*> Redraw;
  // A drag needed the pointer's screen position and none could be read:
  // after the redraws, the step fails (no hand-over, no clicks, no timer).
  bool CursorUnreadable = false;
  // The window follows the pointer by this much.
  bool MoveWindow = false;
  TPoint MoveBy;
  // A drag started in this step, at DragOrigin: the caller may hand it to
  // the window manager (and then sets DragByWindowManager).
  bool DragStarted = false;
  // A drag the window manager ran ended in this step: the caller checks
  // that the window manager saw the end and otherwise places the window.
  bool WindowManagerDragEnded = false;
  // Hand the frame over (every step but a drag step).
  bool ShowFrame = false;
  // Enabled controls clicked in this step, in list order: each is redrawn
  // and reported to the click handler. Their Clicked flags are already
  // cleared, so a nested step cannot deliver a click twice.
  std::vector<TPointerControl*> Clicks;
  // After clicks were reported to a handler: put every control back to
  // normal with a reset step (unless the button is still held in front).
  bool ResetAfterClicks = false;
  // Whether the polling timer runs after this step.
  bool KeepPolling = false;
};

// Runs one pointer step over the controls (in list order; null entries are
// skipped). `result` is overwritten; its lists keep their capacity, so a
// step allocates nothing once they are as long as the control list.
void TrackPointerStep(TTrackingState& state, std::span<TPointerControl* const> controls,
                      const TPointerFacts& facts, TTrackResult& result);

// Where the keyboard focus goes from `current` (an index in the list, -1
// for none) on Tab (forward) or Shift+Tab (backward): the next enabled
// control in list order, or the previous one, wrapping around; from none
// the first, or the last. -1 when no control is enabled.
int NextFocus(std::span<TPointerControl* const> controls, int current, bool backward);

// What a tick of the polling timer knows, read while no button is down.
struct TPollFacts {
  // A drag the window manager runs: its release may never reach us.
  bool DragByWindowManager = false;
  bool ButtonDown = false;     // the primary button, live
  bool CursorRead = false;     // the pointer's position could be read
  bool OverHostImage = false;  // the image control is the child under the pointer
  bool Foreground = false;     // our window is the foreground window
  bool WindowUnderPointerIsOurs = false;
  // The keyboard holds the lit state (TTrackingState::KeyboardLit), and
  // the window under a point of the focused control (InsidePoint) is ours:
  // false when another window covers it.
  bool KeyboardLit = false;
  bool FocusedUncovered = false;
};

// Whether a polling tick finds that the pointer has left: the caller then
// runs a reset step and stops the timer. A held button or an unreadable
// position leaves everything as it is.
bool PointerHasLeft(const TPollFacts& facts);

// Whether a polling tick finds that the control the keyboard lit must turn
// normal: the window lost the foreground, or another window covers the
// control. A held button leaves everything as it is.
bool KeyboardLitEnds(const TPollFacts& facts);

// Whether a polling tick puts every control back to normal (the caller
// runs a reset step and stops the timer): while the keyboard holds the lit
// state when KeyboardLitEnds, wherever the pointer is; else when
// PointerHasLeft.
bool PollResets(const TPollFacts& facts);

// Whether a polling tick ends a drag the window manager runs: the button
// is up but no pointer step said so (the window manager kept the
// release). The caller then runs a step with the button up before the
// leave test. A drag Portico runs itself always sees its release.
bool PollEndsDrag(const TPollFacts& facts);

}  // namespace portico
