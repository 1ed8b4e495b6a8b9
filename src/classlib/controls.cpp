#include "classlib/controls.h"

#include <algorithm>

#include "classlib/application.h"

namespace portico {

void TControl::SetBounds(int left, int top, int width, int height) {
  Left = left;
  Top = top;
  Width = width;
  Height = height;
}

TImage::TImage() : picture_(this) {}

void TPicture::Assign(TBitmap* source) {
  std::vector<TRect> changed;
  if (!source || source->Empty()) {
    bitmap_ = TBitmap();
    source_ = nullptr;
  } else if (source == &bitmap_) {
    // Drawn in place: all of it the first time, then what changed.
    changed = bitmap_.TakeDamage();
    if (source_ != source) changed.assign(1, bitmap_.BoundsRect());
    source_ = source;
  } else if (source_ != source || bitmap_.Width() != source->Width() ||
             bitmap_.Height() != source->Height()) {
    // A new or resized graphic: take all of it.
    bitmap_.Assign(*source);
    bitmap_.TakeDamage();
    source->TakeDamage();
    source_ = source;
    changed.push_back(bitmap_.BoundsRect());
  } else {
    // The same bitmap drawn into since last time: copy what changed.
    changed = source->TakeDamage();
    for (const TRect& r : changed)
      BitBlt(bitmap_, r.Left, r.Top, r.Width(), r.Height(), *source, r.Left, r.Top);
    bitmap_.TakeDamage();
  }
  owner_->PictureChanged(changed);
}

void TImage::PictureChanged(const std::vector<TRect>& changed) {
  const TBitmap& b = picture_.Bitmap();
  if (AutoSize) {
    Width = b.Width();
    Height = b.Height();
  }
  if (Parent) {
    Parent->AdjustSize();
    Parent->Repaint(b, changed);
  }
}

TForm::TForm(TApplication* owner) : app_(owner) {}

void TForm::BeforeDestruction() {
  if (destroying_) return;
  destroying_ = true;
  if (OnDestroy) OnDestroy(this);
}

TForm::~TForm() {
  if (handle_) {
    app_->UnregisterWindow(handle_);
    app_->Ws().DestroyWindow(handle_);
    handle_ = 0;
  }
}

WindowHandle TForm::Handle() {
  if (!handle_ && !window_lost_) {
    TopLevelSpec spec;
    spec.Title = Caption;
    spec.ClassName = ClassName;
    spec.Undecorated = BorderStyle == TBorderStyle::bsNone;
    spec.SkipTaskbar = true;
    handle_ = app_->Ws().CreateTopLevel(spec, std::max(Width, 1), std::max(Height, 1));
    app_->RegisterWindow(handle_, this);
  }
  return handle_;
}

void TForm::AddControl(TControl* child) {
  child->Parent = this;
  children_.push_back(child);
  AdjustSize();
}

TControl* TForm::ControlAtPos(TPoint p, bool allow_disabled, bool) const {
  // Topmost child first: the last one added is drawn last.
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    TControl* c = *it;
    if (!c->Visible || (!c->Enabled && !allow_disabled)) continue;
    if (TRect{c->Left, c->Top, c->Left + c->Width, c->Top + c->Height}.Contains(p)) return c;
  }
  return nullptr;
}

void TForm::SetBounds(int left, int top, int width, int height) {
  const TRect before = BoundsNow();
  TControl::SetBounds(left, top, width, height);
  if (shown_) RequestBounds();
  BoundsMayHaveChanged(before);
}

void TForm::BoundsMayHaveChanged(const TRect& before) {
  if (shown_ && OnBoundsChange && BoundsNow() != before) OnBoundsChange(this);
}

void TForm::RequestBounds() {
  pending_moves_.Asked(TPoint{Left, Top});
  app_->Ws().SetWindowBounds(Handle(), Left, Top, std::max(Width, 1), std::max(Height, 1));
}

void TForm::AdjustSize() {
  if (!AutoSize || children_.empty()) return;
  int w = 0, h = 0;
  for (const TControl* c : children_) {
    if (!c->Visible) continue;
    w = std::max(w, c->Left + c->Width);
    h = std::max(h, c->Top + c->Height);
  }
  if (w == Width && h == Height) return;
  const TRect before = BoundsNow();
  Width = w;
  Height = h;
  if (shown_) RequestBounds();
  BoundsMayHaveChanged(before);
}

void TForm::Repaint(const TBitmap& frame, const std::vector<TRect>& changed) {
  // Before the first show the window gets the whole frame when it maps.
  if (!shown_) return;
  app_->Ws().Present(Handle(), frame, changed);
}

TPoint CentredOn(const TRect& monitor, int32_t width, int32_t height) {
  return TPoint{monitor.Left + (monitor.Right - monitor.Left - width) / 2,
                monitor.Top + (monitor.Bottom - monitor.Top - height) / 2};
}

WindowHandle TForm::PlaceForShow() {
  AdjustSize();
  WindowHandle h = Handle();
  if (!centred_ && Position == TPosition::poScreenCenter) {
    const TPoint at = CentredOn(app_->Ws().PrimaryMonitor(), Width, Height);
    Left = at.X;
    Top = at.Y;
    centred_ = true;
  }
  pending_moves_.Asked(TPoint{Left, Top});
  return h;
}

void TForm::ShowAhead() {
  if (shown_) return;
  WindowHandle h = PlaceForShow();
  app_->Ws().ShowWindowAhead(h, Left, Top, std::max(Width, 1), std::max(Height, 1));
}

void TForm::Show() {
  WindowHandle h = PlaceForShow();
  app_->Ws().ShowWindow(h, Left, Top, std::max(Width, 1), std::max(Height, 1));
  shown_ = true;
  // Hand the whole picture of every image over once.
  for (TControl* c : children_) {
    if (auto* image = dynamic_cast<TImage*>(c)) {
      const TBitmap& b = image->Picture()->Bitmap();
      if (!b.Empty()) app_->Ws().Present(h, b, {b.BoundsRect()});
    }
  }
  if (OnShown) OnShown(this);
}

void TForm::Close() {
  if (app_->MainForm() == this) app_->Terminate();
}

void TForm::HandleKey(char key) {
  if (KeyPreview && OnKeyPress) OnKeyPress(this, key);
}

void TForm::HandleKeyEvent(KeyAction action, VirtualKey key, bool shift) {
  if (!KeyPreview) return;
  const TKeyEvent& handler = action == KeyAction::Down ? OnKeyDown : OnKeyUp;
  uint16_t code = static_cast<uint16_t>(key);
  if (handler) handler(this, code, shift ? ssShift : 0);
}

void TForm::HandleKeyboardFocus() {
  if (OnActiveChange) OnActiveChange(this);
}

void TForm::HandleDestroyed() {
  if (!handle_) return;
  app_->UnregisterWindow(handle_);
  handle_ = 0;
  shown_ = false;
  window_lost_ = true;
}

void TForm::HandleMoved(int x, int y) {
  // A drag moves the window faster than window managers report: taking an
  // older report would pull the window back to where it was, and the next
  // drag step would start from there.
  if (!pending_moves_.Reported(TPoint{x, y})) return;
  const TRect before = BoundsNow();
  Left = x;
  Top = y;
  BoundsMayHaveChanged(before);
}

void TForm::HandlePointer(PointerAction action, int button, int x, int y) {
  if (action == PointerAction::Leave) {
    // The coordinates may be stale: every image hears that the pointer is gone.
    for (TControl* c : children_)
      if (auto* image = dynamic_cast<TImage*>(c); image && image->OnMouseLeave) image->OnMouseLeave(image);
    return;
  }
  // The child that took a press keeps the pointer until every button is
  // up, like the platform's mouse capture.
  TControl* target = capture_ ? capture_ : ControlAtPos(TPoint{x, y}, false, true);
  if (action == PointerAction::Press) {
    if (buttons_down_++ == 0) capture_ = target;
  } else if (action == PointerAction::Release) {
    if (buttons_down_ > 0 && --buttons_down_ == 0) capture_ = nullptr;
  }
  auto* image = dynamic_cast<TImage*>(target);
  if (!image) return;
  int cx = x - image->Left, cy = y - image->Top;
  TMouseButton mb = button == 3 ? TMouseButton::mbRight
                    : button == 2 ? TMouseButton::mbMiddle
                                  : TMouseButton::mbLeft;
  switch (action) {
    case PointerAction::Press:
      if (image->OnMouseDown) image->OnMouseDown(image, mb, 0, cx, cy);
      break;
    case PointerAction::Release:
      if (image->OnMouseUp) image->OnMouseUp(image, mb, 0, cx, cy);
      break;
    case PointerAction::Move:
      if (image->OnMouseMove) image->OnMouseMove(image, 0, cx, cy);
      break;
    case PointerAction::Leave:
      break;
  }
}

}  // namespace portico
