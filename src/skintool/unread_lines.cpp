#include "skintool/unread_lines.h"

#include <cstdint>
#include <map>
#include <optional>

#include "app/accessibility_names.h"

namespace portico {

namespace {
std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

// Kept text is cut: a hostile line can be megabytes long.
constexpr size_t MaxKeptText = 512;
std::string Kept(std::string_view s) { return std::string(s.substr(0, MaxKeptText)); }

const TReadSection* FindSection(std::string_view name, const TReadSection& names_section) {
  if (Lower(names_section.Name) == Lower(name)) return &names_section;
  for (const TReadSection& s : LauncherSections())
    if (Lower(s.Name) == Lower(name)) return &s;
  return nullptr;
}

bool IsAskedFor(const TReadSection& section, std::string_view key) {
  for (const std::string& k : section.Keys)
    if (Lower(k) == Lower(key)) return true;
  return false;
}
}  // namespace

const std::vector<TReadSection>& LauncherSections() {
  // What skin/skin.cpp and app/launcher_actions.cpp ask the reader for
  // (Alpha is read by the skin and used by app/window_shape.cpp), and
  // app/accessibility_names.cpp (its keys besides Window are the
  // controls' names: FindUnreadLines adds them).
  static const std::vector<TReadSection> sections = {
      {"SCREEN", {"Normal", "Over", "Down", "Disable", "Mask", "Alpha"}},
      {"BUTTONPOS", {}},
      {"INFORMATION", {"URL"}},
      {AccessibilitySection, {AccessibleWindowKey}},
  };
  return sections;
}

TUnreadLines FindUnreadLines(const TIniFile& ini, const std::vector<std::string>& control_names) {
  TUnreadLines out;
  // [ACCESSIBILITY]: the window's name, then one key per control.
  TReadSection names_section{AccessibilitySection, {AccessibleWindowKey}};
  names_section.Keys.insert(names_section.Keys.end(), control_names.begin(), control_names.end());
  auto add = [&](TUnreadLine::TWhy why, const TIniFile::TLineInfo& line, std::string_view section,
                 int read_line = 0) {
    ++out.Count;
    if (out.Lines.size() >= TUnreadLines::MaxKept) return;
    const bool whole = why == TUnreadLine::NotAKeyLine;
    out.Lines.push_back(TUnreadLine{why, line.Number, Kept(section), Kept(line.Name),
                                    Kept(whole ? line.Text : line.Value), read_line});
  };

  // [BUTTONPOS] keys as the reader lists them.
  std::vector<std::string> listed;
  ini.ReadSection("BUTTONPOS", listed);
  size_t button_key = 0;                       // key lines seen in the [BUTTONPOS] that is read
  std::map<std::string, int> known_key_lines;  // "section\nkey" -> the line read

  const TReadSection* section = nullptr;  // the current section, when read
  std::string_view section_name;
  bool before_any = true, unread_section = false;
  ini.VisitLines([&](const TIniFile::TLineInfo& line) {
    using K = TIniFile::TLineInfo;
    if (line.Kind == K::Section) {
      before_any = false;
      section_name = line.Name;
      const TReadSection* known = FindSection(line.Name, names_section);
      const int first = known ? ini.SectionLine(known->Name) : 0;
      section = known && first == line.Number ? known : nullptr;
      unread_section = !section;
      if (!known)
        add(TUnreadLine::UnknownSection, line, line.Name);
      else if (!section)
        add(TUnreadLine::DuplicateSection, line, line.Name, first);
      return true;
    }
    if (line.Kind == K::Ignored) {
      add(TUnreadLine::NotAKeyLine, line, section_name);
      return true;
    }
    if (line.Kind != K::Key) return true;
    const size_t unread_before = out.Count;
    if (before_any) {
      add(TUnreadLine::OutsideSection, line, "");
    } else if (unread_section) {
      add(TUnreadLine::InUnreadSection, line, section_name);
    } else if (section->Keys.empty()) {
      // [BUTTONPOS]: the i-th key line is the i-th listed name, until a key
      // without a name ends the list or the list's limit cuts it.
      const size_t index = button_key++;
      if (out.EmptyKeyLine) {
        ++out.KeysAfterEmptyKey;
        add(TUnreadLine::AfterEmptyKey, line, section_name, out.EmptyKeyLine);
      } else if (line.Name.empty()) {
        out.EmptyKeyLine = line.Number;
        return true;
      } else if (index >= listed.size() || listed[index] != line.Name) {
        if (out.KeysPastLimit++ == 0) out.FirstKeyPastLimit = line.Number;
        add(TUnreadLine::PastKeyListLimit, line, section_name);
      } else {
        const int read = ini.KeyLine(section->Name, listed[index]);
        if (read != line.Number) add(TUnreadLine::DuplicateKey, line, section_name, read);
      }
    } else if (!IsAskedFor(*section, line.Name)) {
      add(TUnreadLine::UnknownKey, line, section_name);
    } else {
      const std::string id = Lower(section->Name) + "\n" + Lower(line.Name);
      auto it = known_key_lines.find(id);
      if (it == known_key_lines.end())
        it = known_key_lines.emplace(id, ini.KeyLine(section->Name, std::string(line.Name))).first;
      if (it->second != line.Number) add(TUnreadLine::DuplicateKey, line, section_name, it->second);
    }
    // A read value can only be cut when its line holds at least as much.
    const bool read = out.Count == unread_before;
    if (read && line.Value.size() >= TIniFile::ValueBufferSize - 1) {
      const std::string name = section->Name, key(line.Name);
      if (ini.ReadString(name, key, "") != ini.ReadString(name, key, "", SIZE_MAX))
        out.CutValues.push_back(line.Number);
    }
    return true;
  });
  return out;
}

}  // namespace portico
