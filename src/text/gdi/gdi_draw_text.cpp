// Captions through GDI: the system's own DrawTextW lays the line out and
// draws it onto a DIB section that holds the bitmap's pixels around the
// text; the pixels it changed are copied back. The default face is the
// one the class library gives a new canvas font, "MS Sans Serif".
#include "system/win32/win32_windows.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "text/draw_text.h"
#include "system/win32/win32_text.h"

namespace portico {
namespace {

static_assert(tfLeft == DT_LEFT && tfCenter == DT_CENTER && tfRight == DT_RIGHT && tfVCenter == DT_VCENTER &&
                  tfSingleLine == DT_SINGLELINE && tfNoClip == DT_NOCLIP && tfNoPrefix == DT_NOPREFIX &&
                  tfEndEllipsis == DT_END_ELLIPSIS,
              "our format flags carry GDI's values");

constexpr const wchar_t* DefaultFace = L"MS Sans Serif";
// Type beyond this many pixels is drawn at this size.
constexpr int MaxPixels = 2048;
// GDI's logical coordinates are 27-bit; rectangles are brought into range.
constexpr int64_t MaxCoordinate = int64_t{1} << 26;
// Fonts kept between captions (a skin uses two sizes).
constexpr size_t MaxCachedFonts = 16;
// Only the formatting flags the contract names reach DrawTextW.
constexpr unsigned KnownFlags = tfCenter | tfRight | tfVCenter | tfSingleLine | tfNoClip | tfNoPrefix | tfEndEllipsis;

// One memory device context and the fonts made so far, for the process.
class TGdiText {
 public:
  static TGdiText& Instance() {
    static TGdiText text;
    return text;
  }
  std::mutex Lock;
  HDC Dc() const { return dc_; }

  // A font for the canvas font, cached; null when GDI cannot make one.
  HFONT FontFor(const TFont& font) {
    const auto key = std::make_tuple(font.Name, font.Size, font.Style);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    if (fonts_.size() >= MaxCachedFonts) Clear();
    LOGFONTW lf{};
    // Points at 96 dots per inch; a negative height asks for the character
    // height (without internal leading), as the class library does.
    const int64_t pixels = std::clamp<int64_t>((int64_t{font.Size} * 96 + 36) / 72, 1, MaxPixels);
    lf.lfHeight = -LONG(pixels);
    lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (font.Style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = font.Name.empty() ? std::wstring(DefaultFace) : Utf8ToWide(font.Name);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT made = CreateFontIndirectW(&lf);
    if (made) fonts_[key] = made;
    return made;
  }

 private:
  TGdiText() : dc_(CreateCompatibleDC(nullptr)) {
    SetBkMode(dc_, TRANSPARENT);
    SetMapMode(dc_, MM_TEXT);
  }
  ~TGdiText() {
    Clear();
    if (dc_) DeleteDC(dc_);
  }
  void Clear() {
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    for (auto& entry : fonts_) DeleteObject(entry.second);
    fonts_.clear();
  }

  HDC dc_;
  std::map<std::tuple<std::string, int, unsigned>, HFONT> fonts_;
};

// A DIB section of w x h 32-bit pixels, top-down, selected into a DC for
// its lifetime.
class TDibSection {
 public:
  TDibSection(HDC dc, int32_t w, int32_t h) : dc_(dc) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_) {
      pixels_ = static_cast<uint32_t*>(bits);
      previous_ = SelectObject(dc, bitmap_);
    }
  }
  ~TDibSection() {
    if (!bitmap_) return;
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
  }
  TDibSection(const TDibSection&) = delete;
  TDibSection& operator=(const TDibSection&) = delete;
  // Row-major 0x00RRGGBB words (the DIB's blue, green, red, unused bytes).
  uint32_t* Pixels() const { return pixels_; }

 private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* pixels_ = nullptr;
};

// The line's size as DrawTextW lays it out (width, height); {0, 0} when
// nothing would be drawn. The font is selected into dc.
TPoint MeasureLine(HDC dc, const std::wstring& text, unsigned format) {
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | (format & DT_NOPREFIX));
  if (r.right <= 0) return {};
  return {r.right, r.bottom};
}

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

// GDI needs no set-up worth doing ahead of the first caption.
class TTextState {};

TTextPreparation::TTextPreparation() = default;
TTextPreparation::~TTextPreparation() = default;

int DrawTextW(TBitmap& target, const std::u16string& text, TRect rect, unsigned format) {
  if (text.empty() || target.Empty()) return 0;
  const std::wstring wide(text.begin(), text.end());
  if (wide.size() > INT_MAX) return 0;
  TGdiText& gdi = TGdiText::Instance();
  std::lock_guard<std::mutex> hold(gdi.Lock);
  HFONT font = gdi.FontFor(target.Canvas.Font);
  if (!font) return 0;
  HDC dc = gdi.Dc();
  SelectObject(dc, font);
  const TPoint size = MeasureLine(dc, wide, format);
  if (size.X <= 0 || size.Y <= 0) return 0;

  // Where the line can land: its laid-out box (the whole text, before any
  // ellipsis cut) and the rectangle, with room for overhanging glyphs.
  const int64_t left = rect.Left, top = rect.Top, right = rect.Right, bottom = rect.Bottom;
  int64_t x = left;
  if (format & tfCenter)
    x = left + (right - left - size.X) / 2;
  else if (format & tfRight)
    x = right - size.X;
  const int64_t y = (format & tfVCenter) ? top + (bottom - top - size.Y) / 2 : top;
  const int64_t slack = size.Y;
  int64_t area_left = std::min(left, x) - slack, area_right = std::max(right, x + size.X) + slack;
  int64_t area_top = std::min(top, y) - slack, area_bottom = std::max(bottom, y + size.Y) + slack;
  if (!(format & tfNoClip)) {
    area_left = std::max(area_left, left);
    area_right = std::min(area_right, right);
    area_top = std::max(area_top, top);
    area_bottom = std::min(area_bottom, bottom);
  }
  const TRect area = IntersectRect(
      TRect{Clamp32(std::max<int64_t>(area_left, 0)), Clamp32(std::max<int64_t>(area_top, 0)),
            Clamp32(std::min<int64_t>(area_right, target.Width())), Clamp32(std::min<int64_t>(area_bottom, target.Height()))},
      target.BoundsRect());
  if (area.IsEmpty()) return size.Y;

  TDibSection dib(dc, area.Width(), area.Height());
  if (!dib.Pixels()) return 0;
  const size_t row_bytes = size_t(area.Width()) * 4;
  for (int32_t row = 0; row < area.Height(); ++row)
    std::memcpy(dib.Pixels() + size_t(row) * size_t(area.Width()), target.Row(area.Top + row) + area.Left, row_bytes);

  // The rectangle in the DIB's coordinates, kept within GDI's range.
  auto shift = [](int64_t v, int64_t by) { return LONG(std::clamp(v - by, -MaxCoordinate, MaxCoordinate)); };
  RECT r{shift(left, area.Left), shift(top, area.Top), shift(right, area.Left), shift(bottom, area.Top)};
  SetTextColor(dc, COLORREF(uint32_t(target.Canvas.Font.Color) & 0xFFFFFF));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, wide.c_str(), int(wide.size()), &r, (format & KnownFlags) | DT_SINGLELINE);
  GdiFlush();

  // Copy back what changed and report it as damage.
  TRect changed{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int32_t row = 0; row < area.Height(); ++row) {
    const uint32_t* src = dib.Pixels() + size_t(row) * size_t(area.Width());
    uint32_t* dst = target.Row(area.Top + row) + area.Left;
    for (int32_t col = 0; col < area.Width(); ++col) {
      const uint32_t p = src[col] & 0xFFFFFF;
      if (p == dst[col]) continue;
      dst[col] = p;
      changed = {std::min(changed.Left, area.Left + col), std::min(changed.Top, area.Top + row),
                 std::max(changed.Right, area.Left + col + 1), std::max(changed.Bottom, area.Top + row + 1)};
    }
  }
  if (!changed.IsEmpty()) target.AddDamage(changed);
  return size.Y;
}

TPoint TextExtentW(const TFont& font, const std::u16string& text, unsigned format) {
  if (text.empty()) return {};
  const std::wstring wide(text.begin(), text.end());
  if (wide.size() > INT_MAX) return {};
  TGdiText& gdi = TGdiText::Instance();
  std::lock_guard<std::mutex> hold(gdi.Lock);
  HFONT handle = gdi.FontFor(font);
  if (!handle) return {};
  SelectObject(gdi.Dc(), handle);
  return MeasureLine(gdi.Dc(), wide, format);
}

}  // namespace portico
