// [BUTTONPOS] lines: what the scan and the loader made of each, and where
// that is less than the line says.
#include <set>

#include "skintool/check_steps.h"
#include "skintool/names.h"

namespace portico {

namespace {
const char* const FieldNames[13] = {"name",         "x",           "y",           "width",
                                    "height",       "centre x",    "centre y",    "outer radius",
                                    "inner radius", "arc start x", "arc start y", "arc end x",
                                    "arc end y"};

std::string Field(int number) {
  return "field " + std::to_string(number) + " (" + FieldNames[number - 1] + ")";
}

// A few characters of the line from where the scan stopped.
std::string TextAt(const std::string& value, size_t at) {
  const size_t shown = 24;
  std::string text = value.substr(std::min(at, value.size()), shown);
  return Quoted(text) + (value.size() > at + shown ? "..." : "");
}

// Why the scan stopped where it did.
std::string StopReason(const TProbedLine& p) {
  const ControlLine& s = p.Scan;
  switch (s.Stop) {
    case TScanStop::AllFields:
      return "the text after field 13, " + TextAt(p.Value, s.StopAt) + ", is ignored";
    case TScanStop::NoName:
      return "the line starts with a comma, so it has no name";
    case TScanStop::EndOfLine:
      return "the line ends after " + Field(s.Matched);
    case TScanStop::NoComma:
      return "after " + Field(s.Matched) + " the scan expects a comma but finds " +
             TextAt(p.Value, s.StopAt);
    case TScanStop::NotANumber:
      return Field(s.Matched + 1) + " is not a number: " + TextAt(p.Value, s.StopAt);
    case TScanStop::OutOfRange:
      return Field(s.Matched + 1) + " does not fit 32 bits: " + TextAt(p.Value, s.StopAt);
  }
  return {};
}

std::string SkipReason(const TProbedLine& p) {
  const auto& f = p.Scan.Fields;
  switch (p.Skip) {
    case TLineSkip::None:
      break;
    case TLineSkip::EmptyValue:
      return "key " + Quoted(p.Key) + " has no value";
    case TLineSkip::NoName:
      return "the line starts with a comma, and a control needs a name";
    case TLineSkip::TooFewFields:
      return StopReason(p) + ", and a control needs a name, x, y, width and height";
    case TLineSkip::WidthBelowOne:
      return "the width, " + std::to_string(f[2]) + ", is below 1";
    case TLineSkip::HeightBelowOne:
      return "the height, " + std::to_string(f[3]) + ", is below 1";
    case TLineSkip::EdgeBeyond32Bits:
      return "x + width or y + height goes past 2147483647";
  }
  return {};
}

std::string RuleBroken(const TSkinButton& b, TRegionRule rule) {
  using R = TRegionRule;
  const auto n = [](int32_t v) { return std::to_string(v); };
  switch (rule) {
    case R::None:
      break;
    case R::CentreXNegative:
      return "centre x " + n(b.Center.X) + " is negative";
    case R::CentreYNegative:
      return "centre y " + n(b.Center.Y) + " is negative";
    case R::OuterRadiusNotPositive:
      return "outer radius " + n(b.OuterRadius) + " is not above 0";
    case R::InnerRadiusNotPositive:
      return "inner radius " + n(b.InnerRadius) + " is not above 0 (a full disc is not a ring)";
    case R::InnerRadiusNotBelowOuter:
      return "inner radius " + n(b.InnerRadius) + " is not below outer radius " + n(b.OuterRadius);
    case R::ArcStartXNegative:
      return "arc start x " + n(b.ArcStart.X) + " is negative";
    case R::ArcStartYNegative:
      return "arc start y " + n(b.ArcStart.Y) + " is negative";
    case R::ArcEndXNegative:
      return "arc end x " + n(b.ArcEnd.X) + " is negative";
    case R::ArcEndYNegative:
      return "arc end y " + n(b.ArcEnd.Y) + " is negative";
  }
  return {};
}

std::string ShapeOf(const TSkinButton& b) {
  return b.IsArc ? "an arc of a ring" : b.IsRing ? "a whole ring" : "a rectangle";
}

void CheckMadeControl(const TProbedLine& p, TFindingList& out) {
  const TSkinButton& b = *p.Button;
  const ControlLine& s = p.Scan;
  if (s.NameCut)
    out.Warn(p.Line, "name-cut",
             "the name is longer than " + std::to_string(MaxControlNameLength) +
                 " characters and is cut there");
  // Text the scan did not take, or a ring or arc cut short by the line's end.
  const bool text_left =
      s.Stop != TScanStop::EndOfLine && (s.Matched < 13 || s.StopAt < p.Value.size());
  if (text_left) {
    out.Warn(p.Line, "line-partly-read",
             StopReason(p) +
                 (s.Matched < 13 ? ", so the rest of the line is ignored" : std::string()) +
                 " and the control is " + ShapeOf(b));
  } else if (s.Matched > 5 && s.Matched < 9) {
    out.Warn(p.Line, "line-partly-read",
             StopReason(p) +
                 ": a ring needs fields 6 to 9 (centre x and y, outer and inner radius), "
                 "so the control is a rectangle");
  } else if (s.Matched > 9 && s.Matched < 13) {
    out.Warn(
        p.Line, "line-partly-read",
        StopReason(p) + ": an arc needs all of fields 10 to 13, so the control is " + ShapeOf(b));
  }
  if (s.Matched < 9) return;
  const TRegionShape shape =
      ClassifyRegion(b.Center, b.OuterRadius, b.InnerRadius, b.ArcStart, b.ArcEnd);
  if (!shape.IsRing)
    out.Warn(p.Line, "ring-fallback",
             "the ring falls back to a rectangle: " + RuleBroken(b, shape.Broken) +
                 "; a ring needs a centre with x and y of 0 or more and outer radius > inner "
                 "radius > 0");
  else if (s.Matched == 13 && !shape.IsArc)
    out.Warn(p.Line, "arc-fallback",
             "the arc falls back to the whole ring: " + RuleBroken(b, shape.Broken) +
                 "; an arc needs all four arc coordinates to be 0 or more");
}
}  // namespace

void CheckControlLines(const TCheckInput& in, TFindingList& out) {
  std::set<int> seen;  // a repeated key reads one line twice; say it once
  for (const TProbedLine& p : in.Probe.Lines) {
    // A key the reader's list cut has no line; the cut has its own finding.
    if (p.Line == 0 || !seen.insert(p.Line).second) continue;
    if (p.Button)
      CheckMadeControl(p, out);
    else
      out.Warn(p.Line, "line-skipped", "no control is made of this line: " + SkipReason(p));
  }
}

}  // namespace portico
