#include "app/message_text_painter.h"

#include "text/codepage.h"
#include "text/draw_text.h"

namespace portico {

namespace {
// The size of a dialog's text, in points at 96 dpi.
constexpr int MessagePoints = 9;
constexpr unsigned MessageFormat = tfLeft | tfSingleLine | tfNoPrefix | tfNoClip;

TFont MessageFont(int scale) {
  TFont font;  // the default face, black
  font.Size = MessagePoints * scale;
  return font;
}
}  // namespace

int TMessageTextPainter::LineHeight(int scale) { return TextExtentW(MessageFont(scale), u"Ag", MessageFormat).Y; }

int TMessageTextPainter::LineWidth(const std::string& line, int scale) {
  return TextExtentW(MessageFont(scale), AnsiToWide(line), MessageFormat).X;
}

void TMessageTextPainter::DrawLine(TBitmap& target, const std::string& line, int x, int y, int scale) {
  target.Canvas.Font = MessageFont(scale);
  DrawTextW(target, AnsiToWide(line), TRect{x, y, target.Width(), target.Height()}, MessageFormat);
}

}  // namespace portico
