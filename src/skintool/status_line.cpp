#include "skintool/status_line.h"

namespace portico {

void TStatusLine::Show(const std::string& text) {
  if (open_ && text == shown_) return;
  // Blanks over the rest of a longer text shown before.
  const size_t pad = open_ && shown_.size() > text.size() ? shown_.size() - text.size() : 0;
  std::fprintf(out_, "\r%s%s", text.c_str(), std::string(pad, ' ').c_str());
  std::fflush(out_);
  shown_ = text;
  open_ = true;
}

void TStatusLine::Break() {
  if (!open_) return;
  std::fputc('\n', out_);
  open_ = false;
}

}  // namespace portico
