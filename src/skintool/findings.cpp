#include "skintool/findings.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "text/codepage.h"

namespace portico {

namespace {
const char* SeverityName(TSeverity s) {
  return s == TSeverity::Error ? "error" : s == TSeverity::Note ? "note" : "warning";
}

// A JSON string literal, always valid UTF-8: bytes that are not UTF-8
// (overlong forms and encoded surrogates too) become U+FFFD.
std::string JsonString(const std::string& raw) {
  const std::string s = ValidUtf8(raw);
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (uint8_t(c) < 0x20) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\u%04x", unsigned(uint8_t(c)));
      out += hex;
    } else {
      out += c;
    }
  }
  return out + "\"";
}
}  // namespace

void TFindingList::Add(int line, TSeverity severity, const std::string& code,
                       const std::string& message) {
  size_t& count = per_code_[code];
  if (++count > MaxPerCode) {
    auto [it, inserted] = dropped_severity_.emplace(code, severity);
    if (!inserted && severity == TSeverity::Error) it->second = severity;
    return;
  }
  findings_.push_back(TFinding{line, severity, code, message});
}

std::vector<TFinding> TFindingList::Sorted() const {
  std::vector<TFinding> out = findings_;
  for (const auto& [code, severity] : dropped_severity_)
    out.push_back(TFinding{0, severity, code,
                           std::to_string(per_code_.at(code) - MaxPerCode) +
                               " more findings like this are not shown",
                           per_code_.at(code) - MaxPerCode});
  std::stable_sort(out.begin(), out.end(),
                   [](const TFinding& a, const TFinding& b) { return a.Line < b.Line; });
  return out;
}

int CheckExitStatus(const std::vector<TFinding>& findings) {
  int status = 0;
  for (const TFinding& f : findings)
    status = std::max(status, f.Severity == TSeverity::Error  ? 2
                              : f.Severity == TSeverity::Note ? 0
                                                              : 1);
  return status;
}

std::string FindingsSummary(const std::string& file, const std::vector<TFinding>& findings) {
  size_t counts[3] = {};  // by TSeverity
  for (const TFinding& f : findings) counts[size_t(f.Severity)] += f.Count;
  if (findings.empty()) return file + ": no findings";
  std::vector<std::string> parts;
  using TNamed = std::pair<TSeverity, const char*>;
  for (auto [severity, what] : {TNamed{TSeverity::Error, "error"}, TNamed{TSeverity::Warning, "warning"},
                                TNamed{TSeverity::Note, "note"}})
    if (const size_t n = counts[size_t(severity)])
      parts.push_back(std::to_string(n) + " " + what + (n == 1 ? "" : "s"));
  std::string text = file + ": ";
  for (size_t i = 0; i < parts.size(); ++i)
    text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  return text;
}

std::string FormatFindingsText(const std::string& file, const std::vector<TFinding>& findings) {
  std::string out;
  for (const TFinding& f : findings) {
    out += file;
    if (f.Line > 0) {
      out += ':';
      out += std::to_string(f.Line);
    }
    out += std::string(": ") + SeverityName(f.Severity) + ": " + f.Message + " [" + f.Code + "]\n";
  }
  return out;
}

std::string FormatFindingsJson(const std::string& file, const std::vector<TFinding>& findings) {
  std::string out = "[";
  for (size_t i = 0; i < findings.size(); ++i) {
    const TFinding& f = findings[i];
    out += i ? ",\n " : "\n ";
    out += "{\"file\": " + JsonString(file) +
           ", \"line\": " + (f.Line > 0 ? std::to_string(f.Line) : "null") + ", \"severity\": \"" +
           SeverityName(f.Severity) + "\", \"code\": " + JsonString(f.Code) +
           ", \"message\": " + JsonString(f.Message) + "}";
  }
  out += findings.empty() ? "]\n" : "\n]\n";
  return out;
}

}  // namespace portico
