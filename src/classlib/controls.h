// Class-library controls: the form, its image control and the picture.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "classlib/pending_moves.h"
#include "graphics/types.h"
#include "window/window_system.h"

namespace portico {

class TApplication;
class TForm;

class TObject {
 public:
  virtual ~TObject() = default;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TNotifyEvent = std::function<void(TObject* sender)>;
// A key going down or up: its virtual-key code (the values of VirtualKey)
// and the shift state (ssShift).
using TKeyEvent = std::function<void(TObject* sender, uint16_t& key, TShiftState shift)>;
constexpr TShiftState ssShift = 1;

// A child control placed in its parent's client area.
class TControl : public TObject {
 public:
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Enabled = true;
  bool Visible = true;
  TForm* Parent = nullptr;
  virtual void SetBounds(int left, int top, int width, int height);
};

class TImage;

// The graphic an image control shows. It keeps its own copy of the last
// bitmap assigned, copying only what changed since the last assignment.
class TPicture {
 public:
  explicit TPicture(TImage* owner) : owner_(owner) {}
  // Takes the bitmap's current pixels as the graphic; none empties it.
  // Assigning Edit() hands over what was drawn into it in place.
  void Assign(TBitmap* source);
  const TBitmap& Bitmap() const { return bitmap_; }
  // The graphic itself, for an owner that draws its frame straight into
  // it rather than into a bitmap of its own that Assign would copy.
  TBitmap& Edit() { return bitmap_; }
  bool HasGraphic() const { return !bitmap_.Empty(); }

 private:
  TImage* owner_;
  TBitmap bitmap_;
  const TBitmap* source_ = nullptr;  // the bitmap last assigned
};

class TImage : public TControl {
 public:
  TImage();
  TPicture* Picture() { return &picture_; }
  bool AutoSize = true;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  // The pointer left the window (however it went: moved off, jumped off,
  // or another surface took it).
  TNotifyEvent OnMouseLeave;

  // Called by the picture: resize to it and repaint the form.
  void PictureChanged(const std::vector<TRect>& changed);

 private:
  TPicture picture_;
};

enum class TBorderStyle { bsNone, bsSizeable };
enum class TPosition { poDesigned, poScreenCenter };
// Where poScreenCenter puts a window of that size's top-left corner on the
// monitor (negative when the window is larger).
TPoint CentredOn(const TRect& monitor, int32_t width, int32_t height);

// A top-level window with child controls.
class TForm : public TControl {
 public:
  explicit TForm(TApplication* owner);
  ~TForm() override;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  std::string Caption = "Form";
  std::string ClassName = "Portico";
  TBorderStyle BorderStyle = TBorderStyle::bsSizeable;
  TPosition Position = TPosition::poDesigned;
  int ModalResult = 0;
  bool DoubleBuffered = false;
  bool AutoSize = false;
  bool KeyPreview = false;
  TKeyPressEvent OnKeyPress;
  // With KeyPreview, the keys the window system reports going down and up
  // (see VirtualKey); a key that makes text comes to OnKeyPress after its
  // OnKeyDown.
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnDestroy;
  // After Show has shown the window and handed its first frame over.
  TNotifyEvent OnShown;
  // The window system says the keyboard focus came to the window or left
  // it: the window may have gained or lost the foreground (ask
  // GetForegroundWindow).
  TNotifyEvent OnActiveChange;
  // The shown window's place or size changed (Left, Top, Width, Height):
  // a move of its own or one the window manager reported.
  TNotifyEvent OnBoundsChange;
  // The window went to a monitor of another scale factor (`factor`);
  // `suggested` is where the system proposes the window's client area.
  std::function<void(TObject* sender, int factor, const TRect& suggested)> OnScaleChange;

  // The native window, created on first use; 0 once another program
  // destroyed it.
  WindowHandle Handle();
  bool HandleAllocated() const { return handle_ != 0; }
  TApplication* Application() const { return app_; }

  void AddControl(TControl* child);
  const std::vector<TControl*>& ControlsList() const { return children_; }

  // Screen point to client point.
  TPoint ScreenToClient(TPoint p) const { return TPoint{p.X - Left, p.Y - Top}; }
  // The child under a client point, or null.
  TControl* ControlAtPos(TPoint p, bool allow_disabled, bool allow_win_controls) const;
  // Moves (and sizes) the window; Left/Top are its client origin on screen.
  void SetBounds(int left, int top, int width, int height) override;

  // Shows the window, centred on first show when Position says so, sized
  // to its one child when AutoSize is set.
  void Show();
  // Starts showing the form ahead of Show where the window system can do
  // so with nothing of it on screen before Show hands its frame over.
  void ShowAhead();
  bool Showing() const { return shown_; }
  // Closes the form; closing the main form ends the application.
  void Close();

  // Re-sizes to the children when AutoSize is set.
  void AdjustSize();
  // Sends the image's changed rectangles to the window.
  void Repaint(const TBitmap& frame, const std::vector<TRect>& changed);

  // Runs OnDestroy once, before any destructor (the application calls it
  // when it tears its forms down).
  void BeforeDestruction();

  // Native event entry points (from the application's dispatch).
  void HandlePointer(PointerAction action, int button, int x, int y);
  void HandleKey(char key);
  void HandleKeyEvent(KeyAction action, VirtualKey key, bool shift);
  void HandleKeyboardFocus();
  // The window system reports the window at (x, y); a late report of a
  // position asked for before the latest request is not taken.
  void HandleMoved(int x, int y);
  // The native window was destroyed by someone else: forget the handle.
  void HandleDestroyed();

 private:
  // Asks the window system to put the shown window at Left, Top with the
  // form's size.
  void RequestBounds();
  // Sizes and places the window for showing; its handle.
  WindowHandle PlaceForShow();
  // Tells OnBoundsChange when the shown window's bounds differ from `before`.
  void BoundsMayHaveChanged(const TRect& before);
  TRect BoundsNow() const { return TRect{Left, Top, Left + Width, Top + Height}; }

  TApplication* app_;
  WindowHandle handle_ = 0;
  bool shown_ = false;
  bool destroying_ = false;
  bool centred_ = false;
  bool window_lost_ = false;  // destroyed from outside: never made again
  TPendingMoves pending_moves_;
  std::vector<TControl*> children_;
  TControl* capture_ = nullptr;  // the child that took the pressed button
  int buttons_down_ = 0;
};

}  // namespace portico
