// In-memory bitmap with a canvas state, the drawing target of the skin.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/types.h"

namespace portico {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum class TBrushStyle { bsSolid, bsClear };

// The canvas font: what the next text output uses.
struct TFont {
  std::string Name;   // empty: the platform's default face
  int Size = 8;       // points at 96 dpi
  TColor Color = 0;   // 0x00BBGGRR
  unsigned Style = 0; // TFontStyle bits
};

struct TBrush {
  TBrushStyle Style = TBrushStyle::bsSolid;
};

struct TCanvas {
  TFont Font;
  TBrush Brush;
};

// 32-bit pixels 0x00RRGGBB, rows top-down, no padding. Drawing operations
// record the rectangles they touched so that a hand-over to the window can
// send only what changed.
class TBitmap {
 public:
  // Largest bitmap we ever allocate: beyond this an image is refused.
  static constexpr int64_t MaxPixels = int64_t{256} * 1024 * 1024;
  static constexpr int32_t MaxSide = 16384;

  TBitmap() = default;
  TBitmap(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Resizes to width x height, filled with black; refuses absurd sizes
  // with std::length_error.
  void SetSize(int32_t width, int32_t height);
  // Copies pixels and size of another bitmap (the canvas state stays).
  void Assign(const TBitmap& source);

  // Whole rows: only for a bitmap that keeps all its pixels (not Sparse).
  uint32_t* Row(int32_t y) { return pixels_.data() + size_t(y) * size_t(width_); }
  const uint32_t* Row(int32_t y) const { return pixels_.data() + size_t(y) * size_t(width_); }
  uint32_t* Data() { return pixels_.data(); }
  const uint32_t* Data() const { return pixels_.data(); }

  // Pixel at (x, y) as 0x00RRGGBB; the caller checks bounds.
  uint32_t Pixel(int32_t x, int32_t y) const {
    return sparse_ ? SparsePixel(x, y) : pixels_[size_t(y) * size_t(width_) + size_t(x)];
  }
  void SetPixel(int32_t x, int32_t y, uint32_t rgb) {
    if (uint32_t* p = sparse_ ? SparseAt(x, y) : &pixels_[size_t(y) * size_t(width_) + size_t(x)]) *p = rgb;
  }

  // Lets go of every pixel outside `areas` (cut to the bitmap), for an
  // image of which only those rectangles are ever read again: they read
  // and copy as before, anything else reads as black. The size stays.
  void KeepOnly(const std::vector<TRect>& areas);
  // Gives all its pixels to `target` (size and pixels as Assign would
  // copy them; the canvas state stays) and keeps only `areas` itself, as
  // KeepOnly would: the whole picture moves rather than being copied.
  void HandOverTo(TBitmap& target, const std::vector<TRect>& areas);
  // Resizes to width x height keeping only `areas` from the start, all
  // black: what SetSize then KeepOnly give, without room for the rest.
  void SetSizeKeeping(int32_t width, int32_t height, const std::vector<TRect>& areas);
  bool Sparse() const { return sparse_; }
  // The i-th kept run of row y (left to right) of a Sparse bitmap: its
  // pixels, columns left to right - 1; null past the last.
  uint32_t* KeptRunAt(int32_t y, size_t i, int32_t& left, int32_t& right);
  // The kept pixels of row y from column x on, up to `count` of them: a
  // pointer and how many follow it there; null (with the distance to the
  // next kept pixel, or 0) where x is not kept.
  const uint32_t* KeptRun(int32_t x, int32_t y, int32_t count, int32_t& length) const;

  TRect BoundsRect() const { return TRect{0, 0, width_, height_}; }

  // Changed areas since the last TakeDamage, clipped to the bitmap.
  void AddDamage(const TRect& r);
  void DamageAll();
  bool HasDamage() const { return whole_damaged_ || !damage_.empty(); }
  // Hands the changed areas to the caller and forgets them. A whole-bitmap
  // change comes back as one rectangle.
  std::vector<TRect> TakeDamage();

  TCanvas Canvas;

 private:
  // A run of kept pixels of one row, and where they are in pixels_.
  struct TSpan {
    int32_t Left;
    int32_t Right;
    size_t Offset;
  };
  uint32_t SparsePixel(int32_t x, int32_t y) const;
  uint32_t* SparseAt(int32_t x, int32_t y);
  const TSpan* SpanAt(int32_t x, int32_t y) const;
  // The runs `areas` keep, row after row, with their places in a pixel
  // array of the size returned.
  size_t PlanKeptRuns(const std::vector<TRect>& areas, std::vector<TSpan>& spans,
                      std::vector<uint32_t>& first) const;
  // Makes this bitmap keep only `areas` of its whole pixels, which it
  // returns rather than frees.
  std::vector<uint32_t> KeepOnlyReleasing(const std::vector<TRect>& areas);

  bool sparse_ = false;
  std::vector<TSpan> spans_;           // kept runs, row after row, left to right
  std::vector<uint32_t> first_span_;   // each row's first run in spans_; height + 1 entries
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint32_t> pixels_;
  std::vector<TRect> damage_;
  bool whole_damaged_ = false;
};

// One opacity byte per pixel (0 transparent ... 255 opaque), rows
// top-down, no padding.
struct TAlphaMap {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Values;
  uint8_t At(int32_t x, int32_t y) const { return Values[size_t(y) * size_t(Width) + size_t(x)]; }
};

// Plain pixel copy of a w x h rectangle from source (sx, sy) to dest (x, y),
// clipped to both bitmaps: nothing outside either is read or written. A
// sparse source copies what it kept; a sparse dest takes nothing.
void BitBlt(TBitmap& dest, int32_t x, int32_t y, int32_t w, int32_t h, const TBitmap& source,
            int32_t sx, int32_t sy);

// The canvas pixel at (x, y) as a TColor; -1 (invalid) outside the bitmap.
TColor CanvasPixel(const TBitmap& bitmap, int32_t x, int32_t y);

}  // namespace portico
