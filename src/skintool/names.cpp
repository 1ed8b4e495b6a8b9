#include "skintool/names.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "system/ascii.h"

namespace portico {

namespace {
// Longer names are never near anything: comparing them would only cost.
constexpr size_t MaxComparedLength = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Edits (insert, delete, replace, swap of neighbours) between two names
// without regard to case.
size_t EditDistance(std::string_view a, std::string_view b) {
  const size_t n = a.size(), m = b.size();
  std::vector<std::vector<size_t>> d(n + 1, std::vector<size_t>(m + 1));
  for (size_t i = 0; i <= n; ++i) d[i][0] = i;
  for (size_t j = 0; j <= m; ++j) d[0][j] = j;
  for (size_t i = 1; i <= n; ++i)
    for (size_t j = 1; j <= m; ++j) {
      const size_t cost = LowerAscii(a[i - 1]) == LowerAscii(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && LowerAscii(a[i - 1]) == LowerAscii(b[j - 2]) &&
          LowerAscii(a[i - 2]) == LowerAscii(b[j - 1]))
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[n][m];
}

// How many edits still count as near for a wanted name of this length.
size_t EditsAllowed(std::string_view wanted) { return wanted.size() <= 4 ? 1 : 2; }

// "a trailing blank", "2 leading blanks", "blanks around it".
std::string BlankDescription(std::string_view name, std::string_view trimmed) {
  const size_t lead = size_t(trimmed.data() - name.data());
  const size_t trail = name.size() - lead - trimmed.size();
  auto count = [](size_t n, const char* where) {
    return (n == 1 ? std::string("a ") : std::to_string(n) + " ") + where +
           (n == 1 ? " blank" : " blanks");
  };
  if (lead && trail) return "blanks around it";
  return lead ? count(lead, "leading") : count(trail, "trailing");
}
}  // namespace

std::string Quoted(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (uint8_t(c) < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", unsigned(uint8_t(c)));
      out += hex;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::optional<std::string> NearMiss(std::string_view name, std::string_view wanted) {
  if (name == wanted || name.size() > MaxComparedLength) return std::nullopt;
  const std::string_view trimmed = TrimBlanks(name);
  const bool blanks = trimmed.size() != name.size();
  std::string blank_text = blanks ? BlankDescription(name, trimmed) : std::string();
  if (trimmed == wanted) return "has " + blank_text;
  if (SameIgnoringAsciiCase(trimmed, wanted))
    return "differs in letter case" + (blanks ? " and has " + blank_text : std::string());
  const size_t edits = EditDistance(trimmed, wanted);
  if (edits == 0 || edits > EditsAllowed(wanted)) return std::nullopt;
  return std::string(edits == 1 ? "is one letter off" : "is two letters off") +
         (blanks ? " and has " + blank_text : std::string());
}

std::optional<std::string> ClosestName(std::string_view name,
                                       const std::vector<std::string>& candidates) {
  if (name.size() > MaxComparedLength) return std::nullopt;
  std::optional<std::string> best;
  size_t best_edits = SIZE_MAX;
  for (const std::string& c : candidates) {
    const size_t edits = EditDistance(TrimBlanks(name), c);
    if (edits <= EditsAllowed(c) && edits < best_edits) {
      best = c;
      best_edits = edits;
    }
  }
  return best;
}

}  // namespace portico
