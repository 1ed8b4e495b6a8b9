// Control names: the two the launcher requires, with the near misses that
// were probably meant; other names with a role; names used twice; "URL"
// without a target.
#include <algorithm>
#include <map>
#include <set>

#include "app/unit_install.h"
#include "system/ascii.h"
#include "skintool/check_steps.h"
#include "skintool/names.h"

namespace portico {

namespace {
std::string LineNo(int line) { return "line " + std::to_string(line); }

// Why the reader never hands an unread line to the loader.
std::string UnreadReason(const TUnreadLine& u) {
  switch (u.Why) {
    case TUnreadLine::UnknownSection:
    case TUnreadLine::InUnreadSection:
      for (const TReadSection& s : LauncherSections())
        if (SameIgnoringAsciiCase(u.Section, s.Name))
          return "is in a second [" + u.Section + "] section, which is never read";
      return "is in section [" + u.Section + "], which the launcher never reads";
    case TUnreadLine::DuplicateSection:
      return "is in a second [" + u.Section + "] section, which is never read";
    case TUnreadLine::OutsideSection:
      return "comes before any section";
    case TUnreadLine::UnknownKey:
      return "is a key the launcher never asks for";
    case TUnreadLine::DuplicateKey:
      return "repeats key " + Quoted(u.Name) + " of " + LineNo(u.ReadLine) +
             ", whose value is read instead";
    case TUnreadLine::AfterEmptyKey:
      return "comes after the key without a name on " + LineNo(u.ReadLine) +
             ", which ends the key list";
    case TUnreadLine::PastKeyListLimit:
      return "is past the reader's limit for the key list";
    case TUnreadLine::NotAKeyLine:
      return "is not a key line (it has no \"=\")";
  }
  return {};
}

bool ContainsIgnoringCase(const std::string& text, const std::string& word) {
  for (size_t i = 0; i + word.size() <= text.size(); ++i)
    if (SameIgnoringAsciiCase(std::string_view(text).substr(i, word.size()), word)) return true;
  return false;
}

struct TNearMiss {
  int Line;
  std::string Text;
};

// Every line that looks as if it meant to define a control named `wanted`.
std::vector<TNearMiss> NearMisses(const TCheckInput& in, const std::string& wanted) {
  std::vector<TNearMiss> found;
  std::set<int> seen;  // a repeated key reads one line twice; say it once
  for (const TProbedLine& p : in.Probe.Lines) {
    if (p.Line > 0 && !seen.insert(p.Line).second) continue;
    const std::string& name = p.Scan.Name;
    const auto how = NearMiss(name, wanted);
    if (p.Button && how) {
      found.push_back({p.Line, Quoted(name) + " on " + LineNo(p.Line) + " " + *how});
    } else if (!p.Button && (name == wanted || how)) {
      found.push_back({p.Line, Quoted(name) + " on " + LineNo(p.Line) +
                                   (how ? " " + *how + " and" : "") +
                                   " is skipped (see its own finding)"});
    }
  }
  for (const TUnreadLine& u : in.Unread.Lines) {
    if (u.Why == TUnreadLine::NotAKeyLine) {
      if (ContainsIgnoringCase(u.Value, wanted))
        found.push_back({u.Line, LineNo(u.Line) + " " + UnreadReason(u)});
      continue;
    }
    const std::string name = ScanControlLine(u.Value).Name;
    const auto how = NearMiss(name, wanted);
    if (name == wanted || how)
      found.push_back({u.Line, Quoted(name) + " on " + LineNo(u.Line) +
                                   (how ? " " + *how + " and" : "") + " " + UnreadReason(u)});
  }
  return found;
}

void CheckRequired(const TCheckInput& in, const char* wanted, TFindingList& out) {
  const TSkinProbe& p = in.Probe;
  if (p.Skin->FindButton(wanted)) return;
  const std::vector<TNearMiss> misses = NearMisses(in, wanted);
  std::string message = "no control named " + Quoted(wanted);
  std::string why;
  for (const TNearMiss& m : misses) why += (why.empty() ? "" : "; ") + m.Text;
  if (!p.Skin->BitmapNormal)
    why += std::string(why.empty() ? "" : "; ") + "no control is made without a Normal image";
  if (!why.empty()) message += " (" + why + ")";
  message += "; the launcher ends at once without a window";
  out.Error(misses.empty() ? p.Ini.SectionLine("BUTTONPOS") : misses.front().Line,
            "required-control-missing", message);
}

// "URL" and "VersionCaption" are optional, but a near miss of them is
// probably a mistake.
void CheckOptional(const TCheckInput& in, const char* wanted, const char* effect,
                   TFindingList& out) {
  if (in.Probe.Skin->FindButton(wanted)) return;
  for (const TProbedLine& p : in.Probe.Lines)
    if (p.Button)
      if (const auto how = NearMiss(p.Button->Name, wanted))
        out.Warn(
            p.Line, "special-name-near-miss",
            Quoted(p.Button->Name) + " " + *how + " from " + Quoted(wanted) + ", so it " + effect);
}

int LineOf(const TCheckInput& in, const TSkinButton* button) {
  for (const TProbedLine& p : in.Probe.Lines)
    if (p.Button == button) return p.Line;
  return 0;
}

void CheckDuplicates(const TCheckInput& in, TFindingList& out) {
  // A repeated key makes one line's control twice; that has its own finding.
  std::map<std::string, std::vector<int>> by_name;
  for (const TProbedLine& p : in.Probe.Lines) {
    if (!p.Button) continue;
    std::vector<int>& lines = by_name[p.Button->Name];
    if (std::find(lines.begin(), lines.end(), p.Line) == lines.end()) lines.push_back(p.Line);
  }
  for (const auto& [name, lines] : by_name) {
    if (lines.size() < 2) continue;
    std::string text = std::to_string(lines.size()) + " controls are named " + Quoted(name) + " (";
    for (size_t i = 0; i < lines.size(); ++i)
      text += (i ? ", " : "lines ") + std::to_string(lines[i]);
    text += "): all of them light up and press";
    if (name == VersionCaptionName)
      text += ", but only the first shows the version";
    else
      text += ", and the launcher looks only the first up by name";
    out.Warn(lines[1], "duplicate-name", text);
  }
}
}  // namespace

void CheckControlNames(const TCheckInput& in, TFindingList& out) {
  CheckRequired(in, InstallButtonName, out);
  CheckRequired(in, ExitButtonName, out);
  CheckOptional(in, UrlButtonName, "opens nothing when clicked", out);
  CheckOptional(in, VersionCaptionName, "does not show the version", out);
  CheckDuplicates(in, out);
  if (const TSkinButton* url = in.Probe.Skin->FindButton(UrlButtonName))
    if (in.Probe.Ini.ReadString("INFORMATION", "URL", "").empty())
      out.Warn(LineOf(in, url), "url-without-target",
               "control \"URL\" opens nothing when clicked: [INFORMATION] has no URL");
}

}  // namespace portico
