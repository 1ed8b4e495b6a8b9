#include <algorithm>
#include <cstdio>

#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "skintool/commands.h"
#include "skintool/png_file.h"
#include "skintool/preview_sheet.h"
#include "skintool/skin_check.h"

namespace portico {

namespace {
// A screen scale factor as written on the command line: a whole number
// from 1 to MaxPreviewScale, digits only; 0 for anything else.
int ParseScale(const std::string& text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > char('0' + MaxPreviewScale)) return 0;
  return text[0] - '0';
}
}  // namespace

const char* const PreviewHelp =
    "usage: portico-skin preview DESCRIPTION.ini [VERSION] [--scale K] -o SHEET.png\n"
    "\n"
    "Draws one PNG picture of the skin: the window as first shown, every\n"
    "control's Over, Down and disabled look, and a map of where each control\n"
    "answers the pointer. Prints what a screen reader announces, a line each.\n"
    "\n"
    "  VERSION      the text of VersionCaption (default 1.0)\n"
    "  --scale K    draw as on a screen at scale factor K, 1 to 8\n"
    "  -o SHEET.png where to write the picture\n"
    "\n"
    "Exit status: 0 written, 2 not, 64 a usage error.\n";

int RunPreviewCommand(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::string out_path;
  int scale = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size() && out_path.empty()) {
      out_path = args[++i];
    } else if (args[i] == "--scale" && i + 1 < args.size() && scale == 0) {
      scale = ParseScale(args[++i]);
      if (scale == 0)
        return UsageError("preview", "--scale takes a whole number from 1 to " + std::to_string(MaxPreviewScale));
    } else if (!args[i].empty() && args[i][0] == '-') {
      return UsageError("preview", "unknown or repeated option '" + args[i] + "'");
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.empty() || positional.size() > 2)
    return UsageError("preview", "expected DESCRIPTION.ini and at most a VERSION");
  if (out_path.empty()) return UsageError("preview", "expected -o SHEET.png");
  const std::string& path = positional[0];
  const std::string version = positional.size() > 1 ? positional[1] : "1.0";
  HeadlessWindowSystem ws;
  TApplication app(ws);
  app.Initialize();
  // An image the launcher cannot decode stops it with a message: there is
  // no window to draw, and a sheet drawn without that image would lie.
  const std::vector<TFinding> findings = CheckSkin(path);
  std::vector<TFinding> stops;
  for (const TFinding& f : findings)
    if (f.Code == "image-undecodable") stops.push_back(f);
  if (!stops.empty()) {
    const std::string text = FormatFindingsText(path, stops);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fprintf(stderr, "portico-skin: %s: no sheet written\n", path.c_str());
    return 2;
  }
  std::string why;
  std::optional<TPreviewSheet> sheet =
      BuildPreviewSheet(path, version, why, std::max(scale, 1), findings);
  if (!sheet) {
    std::fprintf(stderr, "portico-skin: %s: %s\n", path.c_str(), why.c_str());
    return 2;
  }
  const std::vector<uint8_t> png = EncodePng(sheet->Image, sheet->Alpha);
  if (png.empty() || !WriteWholeFile(out_path, png, why)) {
    std::fprintf(stderr, "portico-skin: %s: cannot write the sheet%s%s\n", out_path.c_str(),
                 why.empty() ? "" : ": ", why.c_str());
    return 2;
  }
  // What a screen reader would say, for the designer to read over.
  for (const std::string& line : sheet->Announcements) std::printf("%s: %s\n", path.c_str(), line.c_str());
  return 0;
}

}  // namespace portico
