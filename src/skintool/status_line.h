// One line of the console rewritten in place (a carriage return before
// each new text), that other output ends first so that nothing is drawn
// over.
#pragma once
#include <cstdio>
#include <string>

namespace portico {

class TStatusLine {
 public:
  explicit TStatusLine(std::FILE* out) : out_(out) {}
  // Shows `text` in place of what the line showed; nothing when it is the same.
  void Show(const std::string& text);
  // Ends the line, so that the next output starts on a line of its own.
  void Break();

 private:
  std::FILE* out_;
  std::string shown_;
  bool open_ = false;
};

}  // namespace portico
