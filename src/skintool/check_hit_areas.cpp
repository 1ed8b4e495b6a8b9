// The hot areas as the launcher's hit test makes them, and the looks it
// copies over them: a ring or arc answers only on its band inside its
// rectangle, yet its lit and pressed looks are the whole rectangle.
#include <algorithm>
#include <cstdlib>

#include "controls/angles.h"
#include "skintool/check_steps.h"
#include "skintool/measures.h"
#include "skintool/names.h"

namespace portico {

namespace {
// Pixels of ring squares and looks compared, in all: a hostile skin of
// thousands of huge rings is looked at in part.
constexpr uint64_t PixelBudget = uint64_t{64} * 1024 * 1024;

std::string Kind(const TSkinButton& b) { return b.IsArc ? "arc" : b.IsRing ? "ring" : "control"; }

std::string RectText(const TRect& r) {
  return PointText(r.Left, r.Top) + "-" + PointText(r.Right, r.Bottom);
}

// Colours apart by more than a lossy format's noise (JPEG images of the
// same picture differ by a few levels).
bool VisiblyDiffer(uint32_t a, uint32_t b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 8) return true;
  return false;
}

bool InsideBounds(const TSkinButton& b, TPoint p) {
  return p.X >= b.Bounds.Left && p.X <= b.Bounds.Right && p.Y >= b.Bounds.Top &&
         p.Y <= b.Bounds.Bottom;
}

class THitAreaCheck {
 public:
  THitAreaCheck(const TCheckInput& in, TFindingList& out)
      : in_(in), out_(out), normal_(*in.Probe.Skin->BitmapNormal), map_(ControlHitMap(in)) {}

  void Run() {
    const std::vector<TCheckedControl> controls = CheckedControls(in_);
    for (size_t i = 0; i < controls.size() && i < map_.Size(); ++i) {
      const TCheckedControl& c = controls[i];
      if (!map_.Traced(i)) continue;
      if (map_.HitCount(i) == 0) {
        NoHotPixel(c);
        continue;
      }
      if (c.Button->IsRing) {
        RingPixels(c);
        if (c.Button->IsArc) ArcSweep(c);
        if (c.Button->Enabled) LitOutside(i, c);
      }
      if (c.Button->Enabled) Unchanged(c);
    }
    if (cut_short_)
      out_.Warn(0, "analysis-limit",
                "some rings and looks were not looked at in full: the controls cover too much "
                "of the window");
  }

 private:
  bool Spend(uint64_t pixels) {
    if (pixels > budget_) return cut_short_ = true, false;
    budget_ -= pixels;
    return true;
  }

  // A control that answers nowhere; one wholly outside the picture has its
  // own finding.
  void NoHotPixel(const TCheckedControl& c) {
    const TSkinButton& b = *c.Button;
    if (IntersectRect(b.Bounds, normal_.BoundsRect()).IsEmpty()) return;
    std::string why;
    if (!b.IsRing)
      why = "its rectangle is empty";
    else if (!InsideBounds(b, b.Center))
      why = "its " + Kind(b) + "'s centre " + PointText(b.Center.X, b.Center.Y) +
            " lies outside its rectangle " + RectText(b.Bounds) +
            " and the band does not reach into it; the centre is given in window coordinates, "
            "not from the rectangle's corner";
    else if (IntersectRect(b.RegionBounds(), normal_.BoundsRect()).IsEmpty())
      why = "its " + Kind(b) + " around " + PointText(b.Center.X, b.Center.Y) +
            " lies outside the picture";
    else if (b.IsArc)
      why = "no part of its arc's band falls inside its rectangle " + RectText(b.Bounds) +
            " within the picture";
    else
      why = "its rectangle " + RectText(b.Bounds) +
            " lies inside the ring's inner circle (radius " + std::to_string(b.InnerRadius) + ")";
    out_.Warn(c.Line, "control-no-hot-pixel",
              Quoted(b.Name) + " answers the pointer nowhere: " + why +
                  "; a press there drags the window");
  }

  // The ring's whole band against what its rectangle leaves of it, and its
  // dead centre: both counted with the launcher's ring test.
  void RingPixels(const TCheckedControl& c) {
    const TSkinButton& b = *c.Button;
    const int64_t side = 2 * int64_t{b.OuterRadius} + 1;
    if (side > 4096 || !Spend(uint64_t(side * side))) return;
    uint64_t band = 0, lost = 0;
    for (int64_t y = int64_t{b.Center.Y} - b.OuterRadius; y <= int64_t{b.Center.Y} + b.OuterRadius;
         ++y)
      for (int64_t x = int64_t{b.Center.X} - b.OuterRadius;
           x <= int64_t{b.Center.X} + b.OuterRadius; ++x) {
        if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) continue;
        if (!b.RingHitTest(int32_t(x), int32_t(y))) continue;
        ++band;
        lost += !InsideBounds(b, TPoint{int32_t(x), int32_t(y)});
      }
    if (lost > 0)
      out_.Warn(c.Line, "ring-clipped",
                Quoted(b.Name) + "'s outer circle (radius " + std::to_string(b.OuterRadius) +
                    " around " + PointText(b.Center.X, b.Center.Y) +
                    ") reaches past its rectangle " + RectText(b.Bounds) + ": " +
                    PixelShare(lost, band) + " of its " + Kind(b) + " are cut off, and the " +
                    Kind(b) + " is clipped square there");
    if (b.InnerRadius > 2 || !InsideBounds(b, b.Center)) return;
    // The same ring without its hole, near the centre only.
    TPointerControl solid = b;
    solid.InnerRadius = 0;
    uint64_t dead = 0;
    for (int32_t dy = -2; dy <= 2; ++dy)
      for (int32_t dx = -2; dx <= 2; ++dx) {
        const int64_t x = int64_t{b.Center.X} + dx, y = int64_t{b.Center.Y} + dy;
        if (x > INT32_MAX || y > INT32_MAX) continue;
        dead += solid.HitTest(int32_t(x), int32_t(y)) && !b.HitTest(int32_t(x), int32_t(y));
      }
    if (dead == 0) return;
    out_.Warn(
        c.Line, "ring-dead-centre",
        Quoted(b.Name) + " has inner radius " + std::to_string(b.InnerRadius) + ": " +
            std::to_string(dead) + " pixel(s) at its centre " + PointText(b.Center.X, b.Center.Y) +
            " take no press, and a press there drags the window; a ring always has a hole, "
            "so to make a disc put a rectangle control under the ring that covers its centre");
  }

  void ArcSweep(const TCheckedControl& c) {
    const TSkinButton& b = *c.Button;
    const double from = VectorAngleOf(b, b.ArcStart), to = VectorAngleOf(b, b.ArcEnd);
    out_.Note(c.Line, "arc-sweep",
              "arc " + Quoted(b.Name) + " sweeps " + DegreesText(b.SweepAngle) +
                  " degrees clockwise from " + DegreesText(from) + " (its start point " +
                  PointText(b.ArcStart.X, b.ArcStart.Y) + ") to " + DegreesText(to) +
                  " (its end point " + PointText(b.ArcEnd.X, b.ArcEnd.Y) +
                  "), 0 pointing right and 90 down; an arc drawn the other way round needs its "
                  "start and end swapped");
  }

  static double VectorAngleOf(const TSkinButton& b, TPoint p) {
    return ArcAngle(b.Center, b.Center, p);  // from no direction: 0
  }

  // The rectangle the launcher copies a look into: Right and Bottom
  // excluded, cut to the picture and the look's image.
  TRect LitRect(const TSkinButton& b, const TBitmap& look) const {
    return IntersectRect(IntersectRect(b.Bounds, normal_.BoundsRect()), look.BoundsRect());
  }

  // Within EdgeAllowance pixels of the hot area: a drawn ring's soft or
  // glowing edge, which lights up with the ring as meant.
  static constexpr int32_t EdgeAllowance = 2;
  bool NearHotArea(size_t i, int32_t x, int32_t y) const {
    for (int32_t dy = -EdgeAllowance; dy <= EdgeAllowance; ++dy)
      for (int32_t dx = -EdgeAllowance; dx <= EdgeAllowance; ++dx)
        if (map_.Hit(i, int32_t(int64_t{x} + dx), int32_t(int64_t{y} + dy))) return true;
    return false;
  }

  void LitOutside(size_t i, const TCheckedControl& c) {
    const TSkinButton& b = *c.Button;
    for (const auto& [look, name] : Looks()) {
      const TRect r = LitRect(b, *look);
      // Each pixel may look around itself for the hot area.
      const uint64_t looks_around = (2 * EdgeAllowance + 1) * (2 * EdgeAllowance + 1);
      if (r.IsEmpty() || !Spend(uint64_t(r.Width()) * uint64_t(r.Height()) * looks_around))
        continue;
      uint64_t differ = 0, outside = 0;
      TPoint first;
      for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x) {
          if (map_.Hit(i, x, y)) continue;
          ++outside;
          if (!VisiblyDiffer(look->Pixel(x, y), normal_.Pixel(x, y)) || NearHotArea(i, x, y))
            continue;
          if (differ++ == 0) first = TPoint{x, y};
        }
      if (differ == 0) continue;
      out_.Warn(
          c.Line, "lit-outside-shape",
          std::string("the ") + name + " image differs from Normal in " +
              PixelShare(differ, outside) + " of " + Quoted(b.Name) + "'s rectangle outside its " +
              Kind(b) + " (more than " + std::to_string(EdgeAllowance) +
              " pixels from it), for example at " + PointText(first.X, first.Y) +
              ": the launcher copies the whole rectangle from " + name +
              ", so that part lights up too; draw " + name + " like Normal outside the " + Kind(b));
    }
  }

  void Unchanged(const TCheckedControl& c) {
    const TSkinButton& b = *c.Button;
    for (const auto& [look, name] : Looks()) {
      const TRect r = LitRect(b, *look);
      if (r.IsEmpty() || !Spend(uint64_t(r.Width()) * uint64_t(r.Height()))) continue;
      bool same = true;
      for (int32_t y = r.Top; y < r.Bottom && same; ++y)
        for (int32_t x = r.Left; x < r.Right && same; ++x)
          same = look->Pixel(x, y) == normal_.Pixel(x, y);
      if (!same) continue;
      const bool over = std::string_view(name) == "Over";
      out_.Warn(c.Line, "look-unchanged",
                std::string("the ") + name + " image is identical to Normal over " +
                    Quoted(b.Name) + "'s rectangle: the control shows no change " +
                    (over ? "under the pointer" : "when pressed"));
    }
  }

  std::vector<std::pair<const TBitmap*, const char*>> Looks() const {
    std::vector<std::pair<const TBitmap*, const char*>> looks;
    const TSkin& skin = *in_.Probe.Skin;
    if (skin.BitmapOver) looks.emplace_back(skin.BitmapOver.get(), "Over");
    if (skin.BitmapDown) looks.emplace_back(skin.BitmapDown.get(), "Down");
    return looks;
  }

  const TCheckInput& in_;
  TFindingList& out_;
  const TBitmap& normal_;
  const THitMap& map_;
  uint64_t budget_ = PixelBudget;
  bool cut_short_ = false;
};
}  // namespace

void CheckHitAreas(const TCheckInput& in, TFindingList& out) {
  if (!in.Probe.Skin->BitmapNormal) return;
  THitAreaCheck(in, out).Run();
}

}  // namespace portico
