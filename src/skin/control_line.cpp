#include "skin/control_line.h"

#include <cctype>

namespace portico {

namespace {

// One "%d" conversion: blanks, an optional sign, at least one digit. A
// number outside 32 bits does not match (the scan stops there), so a huge
// value can never wrap into a plausible one. Says why when it fails.
bool ScanInt(const std::string& s, size_t& pos, int32_t& out, TScanStop& why) {
  size_t p = pos;
  while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
  bool negative = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) negative = s[p++] == '-';
  size_t digits_start = p;
  int64_t value = 0;
  bool overflow = false;
  while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) {
    if (!overflow) {
      value = value * 10 + (s[p] - '0');
      if (value > int64_t{INT32_MAX} + 1) overflow = true;
    }
    ++p;
  }
  if (p == digits_start) {
    why = TScanStop::NotANumber;
    return false;
  }
  if (negative) value = -value;
  if (overflow || value > INT32_MAX || value < INT32_MIN) {
    why = TScanStop::OutOfRange;
    return false;
  }
  out = static_cast<int32_t>(value);
  pos = p;
  return true;
}

}  // namespace

ControlLine ScanControlLine(const std::string& line) {
  ControlLine result;
  result.Fields.fill(-1);
  size_t comma = line.find(',');
  size_t name_end = comma == std::string::npos ? line.size() : comma;
  if (name_end == 0) {  // "%[^,]" needs one character
    result.Stop = TScanStop::NoName;
    return result;
  }
  // Names longer than the field holds are cut to it.
  result.NameCut = name_end > MaxControlNameLength;
  result.Name = line.substr(0, result.NameCut ? MaxControlNameLength : name_end);
  result.Matched = 1;
  size_t pos = name_end;
  for (int32_t& field : result.Fields) {
    if (pos >= line.size() || line[pos] != ',') {
      result.Stop = pos >= line.size() ? TScanStop::EndOfLine : TScanStop::NoComma;
      break;
    }
    size_t after_comma = pos + 1;
    if (!ScanInt(line, after_comma, field, result.Stop)) {
      field = -1;
      pos = pos + 1;
      break;
    }
    pos = after_comma;
    ++result.Matched;
  }
  result.StopAt = pos;
  return result;
}

}  // namespace portico
