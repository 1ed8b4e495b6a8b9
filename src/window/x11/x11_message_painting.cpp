#include "window/x11/x11_message_painting.h"

#include <algorithm>

#include "graphics/bitmap.h"
#include "window/x11/x11_frame_image.h"
#include "window/x11/x11_message_text.h"

namespace portico {

namespace {
constexpr int Margin = 16;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 26;
constexpr int MinTextWidth = 200;
constexpr int MaxTextWidth = 560;
constexpr size_t MaxLines = 40;
// A longer text is cut before it is laid out.
constexpr size_t MaxTextBytes = 16384;
const std::string ButtonLabel = "OK";

// The text in the application's faces, drawn into a picture of the whole
// window that goes to the server as an image.
class FacePainting final : public X11MessagePainting {
 public:
  FacePainting(const X11MessageDisplay& display, MessageTextPainter& painter) : display_(display), painter_(painter) {}

  void Prepare(const std::string& text, TRect monitor, int scale) {
    LayOut(text, monitor, scale, painter_.LineHeight(scale) + 2 * scale,
           [this, scale](const std::string& s) { return painter_.LineWidth(s, scale); });
  }

  void Draw(Window window, GC gc, bool pressed) override {
    if (!image_) {
      image_ = X11FrameImage::Create(display_.Connection, display_.WindowVisual, display_.Format, false, width_,
                                     height_);
      if (!image_) return;  // the window keeps its plain background
      picture_.SetSize(width_, height_);
    }
    Paint(pressed);
    const TRect all{0, 0, width_, height_};
    image_->Store(picture_, all);
    image_->Put(window, gc, all);
  }

 private:
  void Fill(const TRect& r, uint32_t rgb) {
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, height_); ++y)
      std::fill(picture_.Row(y) + std::max(r.Left, 0), picture_.Row(y) + std::min(r.Right, width_), rgb);
  }

  void Paint(bool pressed) {
    Fill(TRect{0, 0, width_, height_}, Background);
    for (size_t i = 0; i < lines_.size(); ++i) painter_.DrawLine(picture_, lines_[i], TextLeft(), LineTop(i), scale_);
    const TRect& b = button_;
    const int edge = scale_;
    Fill(b, Ink);
    Fill(TRect{b.Left + edge, b.Top + edge, b.Right - edge, b.Bottom - edge}, pressed ? ButtonPressed : ButtonFace);
    const int label_width = painter_.LineWidth(ButtonLabel, scale_);
    painter_.DrawLine(picture_, ButtonLabel, b.Left + (b.Right - b.Left - label_width) / 2,
                      b.Top + (b.Bottom - b.Top - painter_.LineHeight(scale_)) / 2, scale_);
  }

  X11MessageDisplay display_;
  MessageTextPainter& painter_;
  TBitmap picture_;
  std::unique_ptr<X11FrameImage> image_;
};

// The text in the server's core font, Latin-1 only.
class CoreFontPainting final : public X11MessagePainting {
 public:
  explicit CoreFontPainting(const X11MessageDisplay& display) : display_(display) {}
  ~CoreFontPainting() override {
    if (loaded_)
      XFreeFont(display_.Connection, font_);
    else if (font_)
      XFreeFontInfo(nullptr, font_, 1);
  }

  bool Prepare(const std::string& text, TRect monitor, int scale) {
    Display* d = display_.Connection;
    font_ = XLoadQueryFont(d, "fixed");
    loaded_ = font_ != nullptr;
    // Without the "fixed" alias, the default GC's font is always there.
    if (!font_) font_ = XQueryFont(d, XGContextFromGC(DefaultGC(d, display_.Screen)));
    if (!font_) return false;
    LayOut(Utf8ToLatin1(text), monitor, scale, font_->ascent + font_->descent + 2,
           [this](const std::string& s) { return XTextWidth(font_, s.data(), static_cast<int>(s.size())); });
    return true;
  }

  void Draw(Window window, GC gc, bool pressed) override {
    Display* d = display_.Connection;
    const X11PixelFormat& f = display_.Format;
    XSetFont(d, gc, font_->fid);
    XClearWindow(d, window);
    XSetForeground(d, gc, f.Convert(Ink));
    for (size_t i = 0; i < lines_.size(); ++i)
      XDrawString(d, window, gc, TextLeft(), LineTop(i) + font_->ascent, lines_[i].data(),
                  static_cast<int>(lines_[i].size()));
    const TRect& b = button_;
    const int w = b.Right - b.Left, h = b.Bottom - b.Top;
    XSetForeground(d, gc, f.Convert(pressed ? ButtonPressed : ButtonFace));
    XFillRectangle(d, window, gc, b.Left, b.Top, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XSetForeground(d, gc, f.Convert(Ink));
    XDrawRectangle(d, window, gc, b.Left, b.Top, static_cast<unsigned>(w - 1), static_cast<unsigned>(h - 1));
    const int label_width = XTextWidth(font_, ButtonLabel.data(), static_cast<int>(ButtonLabel.size()));
    XDrawString(d, window, gc, b.Left + (w - label_width) / 2, b.Top + (h + font_->ascent - font_->descent) / 2,
                ButtonLabel.data(), static_cast<int>(ButtonLabel.size()));
  }

 private:
  X11MessageDisplay display_;
  XFontStruct* font_ = nullptr;
  bool loaded_ = false;
};

}  // namespace

std::unique_ptr<X11MessagePainting> X11MessagePainting::Create(const X11MessageDisplay& display,
                                                               MessageTextPainter* painter, const std::string& text,
                                                               TRect monitor, int scale) {
  const std::string clean = CleanMessageText(text.substr(0, MaxTextBytes));
  if (painter && painter->LineHeight(scale) > 0) {
    auto faces = std::make_unique<FacePainting>(display, *painter);
    faces->Prepare(clean, monitor, scale);
    return faces;
  }
  auto core = std::make_unique<CoreFontPainting>(display);
  if (!core->Prepare(clean, monitor, scale)) return nullptr;
  return core;
}

void X11MessagePainting::LayOut(const std::string& text, TRect monitor, int scale, int line_height,
                                const std::function<int(const std::string&)>& width) {
  scale_ = std::clamp(scale, 1, 8);
  margin_ = Margin * scale_;
  line_height_ = std::max(line_height, 1);
  const int button_width = ButtonWidth * scale_, button_height = ButtonHeight * scale_;
  const int monitor_width = monitor.Right - monitor.Left, monitor_height = monitor.Bottom - monitor.Top;
  const int max_width = std::clamp(monitor_width - 4 * margin_, MinTextWidth, MaxTextWidth * scale_);
  // As many lines as leave the window on the monitor, at least one.
  const int room = (monitor_height - 4 * margin_ - button_height) / line_height_;
  const size_t max_lines = std::clamp<size_t>(room > 0 ? static_cast<size_t>(room) : 1, 1, MaxLines);
  lines_ = WrapText(text, max_width, max_lines, width);
  int text_width = std::max(MinTextWidth, button_width);
  for (const std::string& line : lines_) text_width = std::max(text_width, width(line));
  width_ = std::min(text_width, max_width) + 2 * margin_;
  const int button_top = margin_ + static_cast<int>(lines_.size()) * line_height_ + margin_;
  button_ = TRect{(width_ - button_width) / 2, button_top, (width_ + button_width) / 2, button_top + button_height};
  height_ = button_top + button_height + margin_;
}

}  // namespace portico
