// Which lines of a description the launcher never reads, and why: the
// reader answers only the first section of a name and the first key of a
// name in it, lists at most 16384 bytes of key names, and skips lines that
// are neither headers, keys nor comments.
#pragma once
#include <string>
#include <vector>

#include "classlib/ini_file.h"

namespace portico {

// The sections the launcher reads, with the keys it asks for; an empty
// key list means every key counts ([BUTTONPOS] lists its keys).
struct TReadSection {
  const char* Name;
  std::vector<std::string> Keys;
};
const std::vector<TReadSection>& LauncherSections();

struct TUnreadLine {
  enum TWhy {
    UnknownSection,    // a header the launcher never asks for
    DuplicateSection,  // a later header of a section read elsewhere
    InUnreadSection,   // a key under one of those two
    OutsideSection,    // a key before the first header
    UnknownKey,        // a key the launcher never asks for
    DuplicateKey,      // a later key of a name read elsewhere
    AfterEmptyKey,     // [BUTTONPOS]: after EmptyKeyLine, which ends the list
    PastKeyListLimit,  // [BUTTONPOS]: past the reader's limit for key lists
    NotAKeyLine,       // neither header, key nor comment
  } Why;
  int Line = 0;
  std::string Section;  // the section the line is in, or the header's own name
  std::string Name;     // the key name
  std::string Value;    // the key's value, or the whole line for NotAKeyLine
  int ReadLine = 0;  // for duplicates and AfterEmptyKey: the line read instead, or the ending key
};

struct TUnreadLines {
  static constexpr size_t MaxKept = 1000;
  std::vector<TUnreadLine> Lines;  // the first MaxKept, in file order
  size_t Count = 0;                // all of them
  // [BUTTONPOS]: the key without a name that ends the key list (or 0) and
  // the keys after it; the first key past the list's limit and the count.
  int EmptyKeyLine = 0;
  size_t KeysAfterEmptyKey = 0;
  int FirstKeyPastLimit = 0;
  size_t KeysPastLimit = 0;
  // Read keys whose value the reader cuts at its limit: their lines.
  std::vector<int> CutValues;
};

// `control_names` are the skin's controls: the keys [ACCESSIBILITY] may
// hold besides Window.
TUnreadLines FindUnreadLines(const TIniFile& ini, const std::vector<std::string>& control_names = {});

}  // namespace portico
