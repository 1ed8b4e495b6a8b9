#include "window/x11/x11_xft_dpi.h"

namespace portico {

namespace {
constexpr std::string_view Name = "Xft.dpi";
constexpr int MaxDpi = 1000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Digits with an optional fraction, rounded; 0 for anything else.
int ParseDpi(std::string_view value) {
  int whole = 0;
  size_t i = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    whole = whole * 10 + (value[i] - '0');
    if (whole > MaxDpi) return 0;  // also keeps long digit runs from overflowing
  }
  if (i == 0) return 0;
  if (i < value.size()) {
    if (value[i] != '.') return 0;
    const size_t fraction = ++i;
    for (; i < value.size(); ++i)
      if (value[i] < '0' || value[i] > '9') return 0;
    if (fraction < value.size() && value[fraction] >= '5') ++whole;
  }
  return whole <= MaxDpi ? whole : 0;
}
}  // namespace

int XftDpiFromResources(std::string_view resources) {
  int dpi = 0;
  while (!resources.empty()) {
    const size_t end = resources.find('\n');
    std::string_view line = Trim(resources.substr(0, end));
    resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
    if (line.substr(0, Name.size()) != Name) continue;
    line = Trim(line.substr(Name.size()));
    if (line.empty() || line.front() != ':') continue;
    dpi = ParseDpi(Trim(line.substr(1)));
  }
  return dpi;
}

}  // namespace portico
