// The loaded skin of the one window: state images, frame, controls and the
// wiring to the host form and its image control.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/pointer_tracker.h"
#include "classlib/application.h"
#include "graphics/bitmap.h"
#include "classlib/controls.h"
#include "skin/load_image_file.h"
#include "skin/skin_button.h"
#include "skin/skin_load_observer.h"

namespace portico {

class TSkin;
class TIniFile;

// What the loader reads from a description, for those who read ahead of
// it: the path of a [SCREEN] image key (empty when none is named), the
// mask's path (likewise), and the rectangles of the controls the [BUTTONPOS] lines
// make.
std::string SkinImagePath(const TIniFile& ini, const std::string& skin_folder, const char* key);
std::string SkinMaskPath(const TIniFile& ini, const std::string& skin_folder);
std::vector<TRect> ControlAreas(const TIniFile& ini);

// How the skin reports a completed click to its owner.
using TSkinButtonClick = void (*)(TSkin* skin, TSkinButton* button);

// What a new skin keeps of its state images: all of them, or only what the
// controls draw from them again (see ReleaseUnusedPixels).
enum class TSkinPixels { KeptWhole, OnlyDrawn };

// The pointer's capture and drag state (CaptureButton, DragOrigin,
// Dragging) is the tracking state the pointer steps move.
class TSkin : public TTrackingState {
 public:
  // Reads the description file (skin folder + file name), loads the images
  // and builds the controls. A missing or empty description gives a skin
  // without images and controls; an image that cannot be decoded raises
  // EImageError. An observer hears what was decided along the way. State
  // images decoded ahead (`prepared`) are taken where they still hold.
  // At `scale` k above 1 the images are k times larger (see Scale). With
  // TSkinPixels::OnlyDrawn the normal picture moves into the frame rather
  // than being copied, and the skin starts as ReleaseUnusedPixels leaves it.
  TSkin(const std::string& skin_folder, const std::string& file_name, int image_left,
        int image_top, TForm* host_form, TImage* host_image, TSkinButtonClick on_button_click,
        TSkinLoadObserver* observer = nullptr, TPreparedImages* prepared = nullptr, int scale = 1,
        TSkinPixels pixels = TSkinPixels::KeptWhole);
  ~TSkin();
  TSkin(const TSkin&) = delete;
  TSkin& operator=(const TSkin&) = delete;

  TSkinButton* FindButton(const std::string& name) const;
  // Lets the state images go of every pixel no control will ever copy
  // again: once the frame is made and the caption colours are taken, only
  // the controls' rectangles of them are read.
  void ReleaseUnusedPixels();
  void SetButtonCaption(const std::string& name, const std::u16string& caption, int alignment,
                        int font_size, TColor color, bool disable);

  // Pointer tracking: gathers what the window system knows, runs one step
  // of the state machine and carries out what it says.
  void ImageMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ImageMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void ImageMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ImageMouseLeave(TObject* sender);
  void HandlePointer(int x, int y, bool button_down);
  void TrackPointer(int x, int y, bool foreground, bool button_down, bool over_window = true);
  void ResetPointer();
  void SetPollTimer(bool on);
  void TimerWndProc(TMessage& message);

  // Keyboard: Tab and Shift+Tab (Right and Down, Left and Up) move the
  // keyboard focus through the enabled controls in list order, wrapping
  // around; Enter or Space presses the focused control and clicks it when
  // it goes up. Each is a step of the same state machine as the
  // pointer's (the focused control is lit as if the pointer were on it),
  // and a click goes to the same handler. Keys wait while the primary
  // button is held. True when the key was taken.
  bool KeyDown(VirtualKey key, bool shift);
  bool KeyUp(VirtualKey key, bool shift);
  // Clicks Buttons[index] as a completed click on it would, in a step of
  // the same state machine (an assistive technology's action). False when
  // it cannot be clicked: out of range, disabled, or while a drag runs.
  bool InvokeButton(size_t index);
  // The index in Buttons of the control with the keyboard focus; -1 until
  // a key first moves it.
  int FocusIndex() const { return focus_; }
  // Told after a key moved the keyboard focus to another control.
  std::function<void(TSkin* skin)> OnFocusChange;

  // Compositing: the frame drawn from the state images, and captions.
  const TBitmap* StateBitmap(const TSkinButton* button) const;
  void CopyFromBitmap(const TBitmap* source, const TRect& rect);
  void DrawButton(TSkinButton* button);
  void ShowFrame(bool force);
  void DrawAllButtons();
  void DrawCaption(TSkinButton* button);

  // The screen's scale factor: the images and the frame are k times the
  // description's size, while the controls keep the description's
  // coordinates (the pointer is divided by k, a control drawn k times).
  int Scale = 1;
  std::unique_ptr<TBitmap> BitmapNormal;
  std::unique_ptr<TBitmap> BitmapOver;
  std::unique_ptr<TBitmap> BitmapDown;
  std::unique_ptr<TBitmap> BitmapDisable;
  TSkinButtonClick OnButtonClick = nullptr;
  std::unique_ptr<TBitmap> BitmapArrow;
  WindowHandle TimerWindow = 0;
  unsigned TimerId = 0;
  TForm* HostForm = nullptr;
  TImage* HostImage = nullptr;
  TPicture* HostPicture = nullptr;
  std::vector<std::unique_ptr<TSkinButton>> Buttons;
  bool FrameChanged = false;
  std::string MaskFile;
  // [SCREEN] Alpha: the opacity image (skin folder + name); empty when the
  // key is absent or empty. Read by the application, not by the skin.
  std::string AlphaFile;
  // The Normal image's opacity when the image carries transparency (a PNG
  // with alpha below 255 somewhere): with no Alpha image named it is the
  // window's opacity, and with no mask named its outline (alpha >= 128).
  std::optional<TAlphaMap> NormalAlpha;
  // The frame drawn from the state images: the host picture's own
  // graphic when there is a host image, else OwnFrame.
  TBitmap* BitmapFrame = nullptr;
  std::unique_ptr<TBitmap> OwnFrame;

 private:
  // The rectangles of the controls, at the scale: all that is drawn from
  // the state images once the frame is made.
  std::vector<TRect> UsedAreas() const;
  // The result buffer of the step running at the current nesting depth (a
  // reset after a click runs a step inside a step); kept between steps so
  // that a step allocates nothing.
  TTrackResult& ResultAtDepth(size_t depth);
  // Carries out the drag's start and end: hands the move to the window
  // manager when it offers to, and places the window itself when the
  // window manager never saw the button go up.
  void StartDrag();
  void EndWindowManagerDrag();

  TPoint drag_window_origin_;  // the window's position when the drag started

  // One step of the state machine with the keyboard's facts added, and
  // what it says carried out.
  void RunStep(TPointerFacts& facts);
  // A step for a key (Cause Key) or an action, with the pointer where the
  // last pointer step left it.
  TPointerFacts NonPointerFacts(TStepCause cause) const;
  bool MoveFocus(bool backward);
  bool PressFocused(VirtualKey key);
  // The primary button is held, or a press of it holds a control or drags.
  bool PointerBusy() const;
  // The screen point the poll looks at to find the focused control covered.
  TPoint FocusedScreenPoint() const;

  int focus_ = -1;
  bool key_held_ = false;               // Enter or Space is down on the focused control
  VirtualKey held_key_ = VirtualKey::Return;  // ... which of them
  // The pointer as the last pointer step saw it.
  TPoint last_pointer_;
  bool last_over_window_ = false;

  std::vector<TPointerControl*> tracked_;  // Buttons, as the state machine sees them
  std::vector<std::unique_ptr<TTrackResult>> results_;
  size_t depth_ = 0;
};

}  // namespace portico
