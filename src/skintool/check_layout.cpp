// Where controls lie: outside the picture, under the mask's cut-away
// parts, on top of each other. Overlaps are played through the launcher's
// own pointer state machine to say which control the pointer finds.
#include <algorithm>
#include <map>

#include "controls/pointer_tracker.h"
#include "skintool/check_steps.h"
#include "skintool/hit_map.h"
#include "skintool/measures.h"
#include "skintool/names.h"
#include "skintool/window_cover.h"

namespace portico {

namespace {
// Pixels looked at in all to find overlaps.
constexpr uint64_t OverlapBudget = uint64_t{64} * 1024 * 1024;

struct TControlRef {
  const TSkinButton* Button;
  int Line;
};

std::string Named(const TControlRef& c) {
  return Quoted(c.Button->Name) + " (line " + std::to_string(c.Line) + ")";
}

// What the launcher's pointer steps do at one point: which controls light
// up, which one a press captures, and which clicks are delivered.
struct TPlayedClick {
  std::vector<size_t> Lit;
  std::optional<size_t> Captured;
  bool Delivered = false;
};

TPlayedClick PlayClick(const std::vector<TControlRef>& controls, int32_t x, int32_t y) {
  std::vector<TPointerControl> copies;
  copies.reserve(controls.size());
  for (const TControlRef& c : controls) {
    copies.push_back(*c.Button);
    TPointerControl& p = copies.back();
    p.Hover = p.Down = p.Held = p.Clicked = p.Changed = false;
  }
  std::vector<TPointerControl*> list;
  for (TPointerControl& c : copies) list.push_back(&c);
  TTrackingState state;
  TTrackResult result;
  TPointerFacts facts;
  facts.X = x;
  facts.Y = y;
  facts.Foreground = true;
  facts.Cursor = TPoint{x, y};
  TPlayedClick played;
  TrackPointerStep(state, list, facts, result);
  for (size_t i = 0; i < copies.size(); ++i)
    if (copies[i].Hover) played.Lit.push_back(i);
  facts.ButtonDown = true;
  TrackPointerStep(state, list, facts, result);
  if (state.CaptureButton) played.Captured = size_t(state.CaptureButton - copies.data());
  facts.ButtonDown = false;
  TrackPointerStep(state, list, facts, result);
  played.Delivered = !result.Clicks.empty();
  return played;
}

// "A", "B" and "C"; past a handful, "A", ..., "E" and 12 others.
std::string NameList(const std::vector<TControlRef>& controls, const std::vector<size_t>& which) {
  constexpr size_t Shown = 5;
  const size_t named = which.size() > Shown + 1 ? Shown : which.size();
  std::string text;
  for (size_t k = 0; k < named; ++k)
    text += (k == 0                  ? ""
             : k + 1 == which.size() ? " and "
                                     : ", ") +
            Quoted(controls[which[k]].Button->Name);
  if (named < which.size()) text += " and " + std::to_string(which.size() - named) + " others";
  return text;
}

void CheckOutside(const std::vector<TControlRef>& controls, const TBitmap& normal,
                  TFindingList& out) {
  const TRect image = normal.BoundsRect();
  for (const TControlRef& c : controls) {
    const TRect& b = c.Button->Bounds;
    const TRect inside = IntersectRect(b, image);
    if (inside == b) continue;
    out.Warn(c.Line, "control-outside",
             Quoted(c.Button->Name) +
                 (inside.IsEmpty() ? " lies wholly outside" : " reaches past the edge of") +
                 " the " + std::to_string(image.Width()) + " x " + std::to_string(image.Height()) +
                 " picture; there it is never seen and the pointer never reaches it");
  }
}

void CheckCutAway(const std::vector<TControlRef>& controls, const THitMap& map,
                  const TWindowCover& cover, TFindingList& out) {
  for (size_t i = 0; i < controls.size(); ++i) {
    if (!map.Traced(i) || map.HitCount(i) == 0) continue;
    uint64_t cut = 0;
    const TRect& a = map.Area(i);
    for (int32_t y = a.Top; y < a.Bottom; ++y)
      for (int32_t x = a.Left; x < a.Right; ++x) cut += map.Hit(i, x, y) && !cover.Keeps(x, y);
    if (cut == 0) continue;
    out.Warn(
        controls[i].Line, "control-cut-away",
        Quoted(controls[i].Button->Name) +
            (cut == map.HitCount(i) ? std::string(" lies wholly under the mask's cut-away part")
                                    : " has " + PixelShare(cut, map.HitCount(i)) +
                                          " under the mask's cut-away part") +
            ": there it is never seen and the pointer never reaches it");
  }
}

void CheckOverlaps(const std::vector<TControlRef>& controls, const THitMap& map,
                   TFindingList& out) {
  uint64_t budget = OverlapBudget;
  bool cut_short = false;
  size_t found = 0;
  for (size_t j = 1; j < controls.size(); ++j) {
    for (size_t i = 0; i < j; ++i) {
      // A repeated key makes one line's control twice; that has its own finding.
      if (!map.Traced(i) || !map.Traced(j) || controls[i].Line == controls[j].Line) continue;
      const TRect both = IntersectRect(map.Area(i), map.Area(j));
      if (both.IsEmpty()) continue;
      const uint64_t pixels = uint64_t(both.Width()) * uint64_t(both.Height());
      if (pixels > budget) {
        cut_short = true;
        continue;
      }
      budget -= pixels;
      uint64_t shared = 0;
      TPoint first;
      for (int32_t y = both.Top; y < both.Bottom; ++y)
        for (int32_t x = both.Left; x < both.Right; ++x)
          if (map.Hit(i, x, y) && map.Hit(j, x, y) && shared++ == 0) first = TPoint{x, y};
      if (shared == 0) continue;
      // Past what the list shows, an overlap is only counted: playing it
      // through costs a step over every control.
      if (++found > TFindingList::MaxPerCode) {
        out.Warn(controls[j].Line, "control-overlap", "");
        continue;
      }
      const TPlayedClick played = PlayClick(controls, first.X, first.Y);
      std::string text = Named(controls[i]) + " and " + Named(controls[j]) + " overlap in " +
                         std::to_string(shared) + " pixel(s), for example at " +
                         PointText(first.X, first.Y) + ": the pointer there lights " +
                         NameList(controls, played.Lit);
      if (played.Captured) {
        const std::string captured = Quoted(controls[*played.Captured].Button->Name);
        text += played.Delivered ? ", a click goes to " + captured
                                 : ", a press goes to " + captured +
                                       ", which takes no clicks, so nothing happens";
      }
      if (!played.Lit.empty())
        text += ", and " + Quoted(controls[played.Lit.back()].Button->Name) +
                " is drawn over the others";
      out.Warn(controls[j].Line, "control-overlap", text);
    }
  }
  if (cut_short)
    out.Warn(0, "analysis-limit",
             "some overlaps were not looked for: the controls cover too much of the window");
}
}  // namespace

void CheckLayout(const TCheckInput& in, TFindingList& out) {
  const TSkin& skin = *in.Probe.Skin;
  if (!skin.BitmapNormal) return;
  std::map<const TSkinButton*, int> lines;
  for (const TProbedLine& p : in.Probe.Lines)
    if (p.Button) lines[p.Button] = p.Line;
  std::vector<TControlRef> controls;
  std::vector<const TPointerControl*> pointers;
  for (const auto& b : skin.Buttons) {
    controls.push_back(TControlRef{b.get(), lines[b.get()]});
    pointers.push_back(b.get());
  }
  CheckOutside(controls, *skin.BitmapNormal, out);
  const THitMap map(pointers, skin.BitmapNormal->Width(), skin.BitmapNormal->Height());
  if (map.UntracedCount() > 0)
    out.Warn(0, "analysis-limit",
             std::to_string(map.UntracedCount()) +
                 " control(s) were not traced: the controls cover too much of "
                 "the window for the check to follow every one");
  if (in.Mask) CheckCutAway(controls, map, TWindowCover(in.Mask), out);
  CheckOverlaps(controls, map, out);
}

}  // namespace portico
