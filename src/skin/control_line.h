// The scan of one [BUTTONPOS] control line: "name,x,y,w,h[,cx,cy,ro,ri[,ax,ay,bx,by]]".
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace portico {

// Why a scan stopped: after the thirteenth field, or at the first field
// that did not match.
enum class TScanStop { AllFields, NoName, EndOfLine, NoComma, NotANumber, OutOfRange };

struct ControlLine {
  std::string Name;
  // x, y, width, height, centre x, centre y, outer, inner, arc start x, y,
  // arc end x, y; -1 where the scan stopped before the field.
  std::array<int32_t, 12> Fields;
  int Matched = 0;  // fields matched, the name included
  // Where and why the scan stopped, for tools that explain a line: the
  // offset of the first character not taken, and whether the name was cut.
  TScanStop Stop = TScanStop::AllFields;
  size_t StopAt = 0;
  bool NameCut = false;
};

// The longest name kept.
constexpr size_t MaxControlNameLength = 259;

// Scans a line by the formatted-input rules of the format
// "%[^,],%d,%d,...": the name is everything before the first comma, blanks
// kept; each number may have blanks and a sign before it; scanning stops
// at the first field that does not match.
ControlLine ScanControlLine(const std::string& line);

}  // namespace portico
