#include "skin/skin.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <functional>

#include "system/errors.h"
#include "classlib/ini_file.h"
#include "skin/control_line.h"
#include "skin/load_image_file.h"
#include "skin/scaled_image.h"
#include "graphics/bitmap_scale.h"

namespace portico {

namespace {
const char* const ArrowImageName = "scroll_arrow_down.bmp";

// The control of one scanned [BUTTONPOS] line, or why the line is skipped.
TLineSkip ButtonFromLine(const ControlLine& line, std::unique_ptr<TSkinButton>& button) {
  if (line.Name.empty()) return TLineSkip::NoName;
  if (line.Matched < 5) return TLineSkip::TooFewFields;
  const auto& f = line.Fields;
  int32_t x = f[0], y = f[1], width = f[2], height = f[3];
  if (width < 1) return TLineSkip::WidthBelowOne;
  if (height < 1) return TLineSkip::HeightBelowOne;
  // Right and bottom must stay 32-bit values: a line that would wrap is
  // skipped like any other malformed line.
  int64_t right = int64_t{x} + width, bottom = int64_t{y} + height;
  if (right > INT32_MAX || bottom > INT32_MAX) return TLineSkip::EdgeBeyond32Bits;
  button = std::make_unique<TSkinButton>(line.Name, x, y, int32_t(right), int32_t(bottom), f[4], f[5],
                                         f[6], f[7], f[8], f[9], f[10], f[11]);
  return TLineSkip::None;
}

// The caption colour under a control's centre: the inverse of the normal
// image there. A centre outside the image takes the nearest pixel inside.
TColor InverseColourAt(const TBitmap& image, int64_t x, int64_t y) {
  x = std::clamp<int64_t>(x, 0, image.Width() - 1);
  y = std::clamp<int64_t>(y, 0, image.Height() - 1);
  return CanvasPixel(image, int32_t(x), int32_t(y)) ^ 0xFFFFFF;
}

// An image drawn for the screen's scale that is not used, said where the
// loader's findings go, else on stderr.
void ReportScaledImageLeftOut(TSkinLoadObserver* observer, const std::string& key, const std::string& why) {
  if (observer) {
    observer->ScaledImageLeftOut(key, why);
    return;
  }
  SayScaledImageLeftOut(why);
}
}  // namespace

std::string SkinImagePath(const TIniFile& ini, const std::string& skin_folder, const char* key) {
  const std::string value = ini.ReadString("SCREEN", key, "");
  return value.empty() ? std::string() : skin_folder + value;
}

std::string SkinMaskPath(const TIniFile& ini, const std::string& skin_folder) {
  return SkinImagePath(ini, skin_folder, "Mask");
}

std::vector<TRect> ControlAreas(const TIniFile& ini) {
  std::vector<TRect> areas;
  std::vector<std::string> keys;
  ini.ReadSection("BUTTONPOS", keys);
  for (const std::string& key : keys) {
    const std::string value = ini.ReadString("BUTTONPOS", key, "");
    std::unique_ptr<TSkinButton> button;
    if (!value.empty() && ButtonFromLine(ScanControlLine(value), button) == TLineSkip::None)
      areas.push_back(button->Bounds);
  }
  return areas;
}

TSkin::TSkin(const std::string& skin_folder, const std::string& file_name, int image_left,
             int image_top, TForm* host_form, TImage* host_image,
             TSkinButtonClick on_button_click, TSkinLoadObserver* observer,
             TPreparedImages* prepared, int scale, TSkinPixels pixels)
    : Scale(std::max(scale, 1)) {
  TIniFile ini(skin_folder + file_name);
  TimerWindow = Application->AllocateHWnd([this](TMessage& m) { TimerWndProc(m); });
  TimerId = 0;
  HostForm = host_form;
  HostImage = host_image;
  HostPicture = host_image ? host_image->Picture() : nullptr;
  OnButtonClick = on_button_click;
  if (HostForm && !HostForm->DoubleBuffered) HostForm->DoubleBuffered = true;
  if (HostImage) {
    using namespace std::placeholders;
    HostImage->OnMouseDown = std::bind(&TSkin::ImageMouseDown, this, _1, _2, _3, _4, _5);
    HostImage->OnMouseMove = std::bind(&TSkin::ImageMouseMove, this, _1, _2, _3, _4);
    HostImage->OnMouseUp = std::bind(&TSkin::ImageMouseUp, this, _1, _2, _3, _4, _5);
    HostImage->OnMouseLeave = std::bind(&TSkin::ImageMouseLeave, this, _1);
  }
  CaptureButton = nullptr;
  Dragging = false;
  FrameChanged = false;

  try {
    MaskFile = SkinMaskPath(ini, skin_folder);
    const std::string alpha = ini.ReadString("SCREEN", "Alpha", "");
    if (!alpha.empty()) AlphaFile = skin_folder + alpha;
    auto load_file = [&](const std::string& key, const std::string& path, TPreparedImages* ahead,
                         const std::vector<TRect>* kept, std::optional<TAlphaMap>* alpha, int scale) {
      try {
        std::unique_ptr<TBitmap> bitmap = LoadImageFile(path, ahead, kept, alpha, scale);
        if (observer) observer->ImageLoaded(key, path, bitmap.get());
        return bitmap;
      } catch (const EImageError& e) {
        if (!observer || !observer->ContinueAfterImageError(key, path, e)) throw;
        return std::unique_ptr<TBitmap>();
      }
    };
    // At a scale above 1 an image drawn for it is taken when there is one;
    // otherwise the 1x image is enlarged, keeping what it was asked to keep.
    auto load = [&](const char* key, const std::vector<TRect>* kept, std::optional<TAlphaMap>* alpha = nullptr) {
      const std::string path = SkinImagePath(ini, skin_folder, key);
      if (Scale <= 1) return load_file(key, path, prepared, kept, alpha, 1);
      std::string why;
      const std::string scaled_path = ImageFileAtScale(path, Scale, why);
      if (!why.empty()) ReportScaledImageLeftOut(observer, key, why);
      if (scaled_path.empty()) return load_file(key, path, prepared, kept, alpha, Scale);
      std::unique_ptr<TBitmap> bitmap = load_file(key, scaled_path, nullptr, nullptr, alpha, 1);
      // Kept areas are given only to match images decoded ahead (empty
      // otherwise): then the image needs no more than they cover.
      if (bitmap && kept && !kept->empty()) bitmap->KeepOnly(ScaleRects(*kept, Scale));
      return bitmap;
    };
    BitmapNormal = load("Normal", nullptr, &NormalAlpha);
    // The pointer-over, pressed and disabled images decoded ahead keep only
    // the controls' rectangles: they are taken only when those are the
    // rectangles of the controls built below from the same lines (none
    // without a normal image).
    const std::vector<TRect> areas = prepared && BitmapNormal ? ControlAreas(ini) : std::vector<TRect>();
    BitmapOver = load("Over", &areas);
    BitmapDown = load("Down", &areas);
    BitmapDisable = load("Disable", &areas);

    if (BitmapNormal) {
      if (HostPicture) {
        BitmapFrame = &HostPicture->Edit();
      } else {
        OwnFrame = std::make_unique<TBitmap>();
        BitmapFrame = OwnFrame.get();
      }
      BitmapArrow = load_file("", skin_folder + ArrowImageName, nullptr, nullptr, nullptr, 1);
      std::vector<std::string> keys;
      ini.ReadSection("BUTTONPOS", keys);
      for (const std::string& key : keys) {
        std::string value = ini.ReadString("BUTTONPOS", key, "");
        const ControlLine line = ScanControlLine(value);
        std::unique_ptr<TSkinButton> button;
        const TLineSkip skip = value.empty() ? TLineSkip::EmptyValue : ButtonFromLine(line, button);
        if (button) {
          const TRect& b = button->Bounds;
          button->TextColor = InverseColourAt(*BitmapNormal, (int64_t{b.Left} + b.Width() / 2) * Scale,
                                              (int64_t{b.Top} + b.Height() / 2) * Scale);
        }
        if (observer) observer->ControlLineRead(key, value, line, skip, button.get());
        if (button) Buttons.push_back(std::move(button));
      }
      if (pixels == TSkinPixels::OnlyDrawn) {
        // A whole-window copy at a high scale costs more than anything
        // else the skin does before the window shows.
        BitmapNormal->HandOverTo(*BitmapFrame, UsedAreas());
      } else {
        BitmapFrame->Assign(*BitmapNormal);
      }
      BitmapFrame->Canvas.Font.Size = 8;
      BitmapFrame->Canvas.Brush.Style = TBrushStyle::bsClear;
    }

    if (pixels == TSkinPixels::OnlyDrawn) ReleaseUnusedPixels();
    if (HostPicture) {
      HostPicture->Assign(BitmapFrame);
      HostImage->SetBounds(image_left, image_top, HostImage->Width, HostImage->Height);
    }
  } catch (...) {
    // The destructor does not run for a failed construction: let go of
    // the timer window and the image's events here.
    Application->DeallocateHWnd(TimerWindow);
    if (HostImage) {
      HostImage->OnMouseDown = nullptr;
      HostImage->OnMouseMove = nullptr;
      HostImage->OnMouseUp = nullptr;
      HostImage->OnMouseLeave = nullptr;
    }
    throw;
  }
}

TSkin::~TSkin() {
  SetPollTimer(false);
  if (TimerWindow) {
    Application->DeallocateHWnd(TimerWindow);
    TimerWindow = 0;
  }
  if (HostImage) {
    HostImage->OnMouseDown = nullptr;
    HostImage->OnMouseMove = nullptr;
    HostImage->OnMouseUp = nullptr;
    HostImage->OnMouseLeave = nullptr;
  }
  CaptureButton = nullptr;
  Buttons.clear();
  BitmapNormal.reset();
  BitmapOver.reset();
  BitmapDown.reset();
  BitmapDisable.reset();
  BitmapFrame = nullptr;
  OwnFrame.reset();
  BitmapArrow.reset();
  MaskFile.clear();
  AlphaFile.clear();
  NormalAlpha.reset();
}

std::vector<TRect> TSkin::UsedAreas() const {
  std::vector<TRect> used;
  used.reserve(Buttons.size());
  for (const auto& b : Buttons)
    if (b) used.push_back(ScaleRect(b->Bounds, Scale));
  return used;
}

void TSkin::ReleaseUnusedPixels() {
  const std::vector<TRect> used = UsedAreas();
  // An image decoded ahead may already keep only these rectangles.
  for (TBitmap* image : {BitmapNormal.get(), BitmapOver.get(), BitmapDown.get(), BitmapDisable.get()})
    if (image) image->KeepOnly(used);
}

TSkinButton* TSkin::FindButton(const std::string& name) const {
  for (const auto& b : Buttons)
    if (b && b->Name == name) return b.get();
  return nullptr;
}

void TSkin::SetButtonCaption(const std::string& name, const std::u16string& caption, int alignment,
                             int font_size, TColor color, bool disable) {
  TSkinButton* b = FindButton(name);
  if (!b) return;
  b->Caption = caption;
  b->Alignment = alignment;
  b->FontSize = font_size;
  if (color >= 0) b->TextColor = color;
  if (disable) b->Enabled = false;
}

}  // namespace portico
