// What `portico-skin check` reports: findings in the form compilers use,
// or as JSON for build pipelines.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace portico {

// A note says what the launcher makes of something well formed, for the
// author to compare with what was meant; it leaves the exit status alone.
enum class TSeverity { Warning, Error, Note };

struct TFinding {
  int Line = 0;  // in the description, from 1; 0 when about the file as a whole
  TSeverity Severity = TSeverity::Warning;
  std::string Code;  // short and stable, e.g. "control-overlap"
  std::string Message;
  // How many findings this one stands for: more for the one closing a code
  // whose findings were cut.
  size_t Count = 1;
};

// Collects findings; after MaxPerCode of one code the rest are only
// counted, so a hostile description cannot flood the output.
class TFindingList {
 public:
  static constexpr size_t MaxPerCode = 50;

  void Add(int line, TSeverity severity, const std::string& code, const std::string& message);
  void Warn(int line, const std::string& code, const std::string& message) {
    Add(line, TSeverity::Warning, code, message);
  }
  void Error(int line, const std::string& code, const std::string& message) {
    Add(line, TSeverity::Error, code, message);
  }
  void Note(int line, const std::string& code, const std::string& message) {
    Add(line, TSeverity::Note, code, message);
  }
  // The findings ordered by line (file-wide ones first), with one closing
  // finding per code that was cut, saying how many more there were.
  std::vector<TFinding> Sorted() const;

 private:
  std::vector<TFinding> findings_;
  std::map<std::string, size_t> per_code_;
  std::map<std::string, TSeverity> dropped_severity_;
};

// 0 without findings but notes, 1 with warnings only, 2 with an error.
int CheckExitStatus(const std::vector<TFinding>& findings);

// "skin.ini: no findings", or "skin.ini: 1 error and 3 warnings" (and
// notes): the closing line on stderr.
std::string FindingsSummary(const std::string& file, const std::vector<TFinding>& findings);

// "FILE:LINE: error: MESSAGE [CODE]", one line per finding.
std::string FormatFindingsText(const std::string& file, const std::vector<TFinding>& findings);
// A JSON array of {file, line, severity, code, message}; line is null for
// file-wide findings.
std::string FormatFindingsJson(const std::string& file, const std::vector<TFinding>& findings);

}  // namespace portico
