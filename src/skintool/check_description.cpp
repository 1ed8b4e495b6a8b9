// The description as text: encodings the reader cannot read, and the
// sections, keys and lines it never reads.
#include <cstdint>
#include <optional>

#include "system/ascii.h"
#include "skintool/check_steps.h"
#include "skintool/names.h"

namespace portico {

namespace {
// The line (from 1) of a byte offset in the reader's text.
int LineOfOffset(const TIniFile& ini, size_t offset) {
  int found = 0;
  ini.VisitLines([&](const TIniFile::TLineInfo& line) {
    if (size_t(line.Text.data() - ini.Text().data()) > offset) return false;
    found = line.Number;
    return true;
  });
  return found;
}

std::vector<std::string> SectionNames() {
  std::vector<std::string> names;
  for (const TReadSection& s : LauncherSections()) names.push_back(s.Name);
  return names;
}

const TReadSection* KnownSection(const std::string& name) {
  for (const TReadSection& s : LauncherSections())
    if (SameIgnoringAsciiCase(name, s.Name)) return &s;
  return nullptr;
}

std::string DidYouMean(const std::optional<std::string>& name, const char* open,
                       const char* close) {
  return name ? "; did you mean " + std::string(open) + *name + close + "?" : std::string();
}
}  // namespace

bool CheckEncoding(const TCheckInput& in, TFindingList& out) {
  const std::string& text = in.Probe.Ini.Text();
  size_t nuls = 0, odd = 0, first = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\0') continue;
    ++nuls;
    odd += i & 1;
    if (first == std::string::npos) first = i;
  }
  if (nuls == 0) return true;
  // UTF-16 text that is mostly ASCII has a NUL in every other byte; with no
  // byte-order mark the reader takes it as 8-bit text.
  const bool utf16 = in.Probe.Ini.Encoding() == TIniFile::TEncoding::EightBit &&
                     nuls * 4 >= text.size() && (odd * 10 >= nuls * 9 || odd * 10 <= nuls);
  if (utf16) {
    out.Warn(0, "encoding",
             "the description looks like UTF-16 without a byte-order mark, which the reader takes "
             "as 8-bit text and finds nothing in; save it with a byte-order mark, or as UTF-8");
    return false;
  }
  out.Warn(LineOfOffset(in.Probe.Ini, first), "encoding",
           "the line holds a NUL byte (" + std::to_string(nuls) +
               " in the file); names and values with one never match what the launcher asks for");
  return true;
}

void CheckUnreadLines(const TCheckInput& in, TFindingList& out) {
  for (const TUnreadLine& u : in.Unread.Lines) {
    const std::string section = "[" + u.Section + "]";
    switch (u.Why) {
      case TUnreadLine::UnknownSection:
        out.Warn(u.Line, "unknown-section",
                 "section " + section + " is never read" +
                     DidYouMean(ClosestName(u.Section, SectionNames()), "[", "]"));
        break;
      case TUnreadLine::DuplicateSection:
        out.Warn(u.Line, "duplicate-section",
                 "section " + section +
                     " appears again and is never read: only the first, on line " +
                     std::to_string(u.ReadLine) + ", is");
        break;
      case TUnreadLine::InUnreadSection:
        break;  // said once for its section
      case TUnreadLine::OutsideSection:
        out.Warn(u.Line, "key-outside-section",
                 "key " + Quoted(u.Name) + " comes before any section and is never read");
        break;
      case TUnreadLine::UnknownKey: {
        const TReadSection* known = KnownSection(u.Section);
        const auto suggestion = known ? ClosestName(u.Name, known->Keys) : std::nullopt;
        out.Warn(u.Line, "unknown-key",
                 "key " + Quoted(u.Name) + " in " + section + " is never read" +
                     DidYouMean(suggestion, "\"", "\""));
        break;
      }
      case TUnreadLine::DuplicateKey:
        if (KnownSection(u.Section) && KnownSection(u.Section)->Keys.empty())
          out.Warn(u.Line, "duplicate-key",
                   "key " + Quoted(u.Name) +
                       " appears again: the reader gives both the value of line " +
                       std::to_string(u.ReadLine) +
                       ", so that control is made twice and this line is never read");
        else
          out.Warn(u.Line, "duplicate-key",
                   "key " + Quoted(u.Name) + " appears again and is never read: only line " +
                       std::to_string(u.ReadLine) + " is");
        break;
      case TUnreadLine::AfterEmptyKey:
      case TUnreadLine::PastKeyListLimit:
        break;  // said once for the list below
      case TUnreadLine::NotAKeyLine:
        out.Warn(u.Line, "ignored-line",
                 "the line is neither a section, a key nor a comment, so the reader skips it");
        break;
    }
  }
  if (in.Unread.EmptyKeyLine)
    out.Warn(in.Unread.EmptyKeyLine, "empty-key",
             "a key without a name ends the reader's list of [BUTTONPOS] keys: " +
                 std::to_string(in.Unread.KeysAfterEmptyKey) +
                 " key line(s) after it are never read");
  if (in.Unread.FirstKeyPastLimit)
    out.Warn(in.Unread.FirstKeyPastLimit, "key-list-cut",
             "the reader lists at most " + std::to_string(TIniFile::SectionBufferSize) +
                 " bytes of [BUTTONPOS] key names: this key" +
                 (in.Unread.KeysPastLimit > 1
                      ? " and the " + std::to_string(in.Unread.KeysPastLimit - 1) + " after it are"
                      : std::string(" is")) +
                 " never read");
  for (int line : in.Unread.CutValues)
    out.Warn(line, "value-cut",
             "the value is longer than the reader's " +
                 std::to_string(TIniFile::ValueBufferSize - 1) + " characters and is cut there");
}

}  // namespace portico
