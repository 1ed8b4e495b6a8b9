#include "skintool/preview_sheet.h"

#include <algorithm>

#include "app/unit_install.h"
#include "text/codepage.h"
#include "text/draw_text.h"
#include "skintool/announcements.h"
#include "skintool/preview_outlines.h"
#include "skintool/preview_panels.h"

namespace portico {

namespace {
constexpr int32_t Margin = 16;
constexpr int32_t TitleHeight = 22;
constexpr int32_t MinColumnWidth = 240;
constexpr int32_t LegendLine = 15;
// The findings under the panels: a line each, as many as this at most.
constexpr size_t MaxFindingLines = 40;
constexpr int32_t Rows = 4;
constexpr uint32_t Background = 0xECECEC;
constexpr uint32_t Ink = 0x202020;

// Copies a picture onto the sheet at `at`, shrunk by `scale` (each sheet
// pixel the average of a scale x scale block).
void PlacePicture(const TPanelPicture& picture, int32_t scale, TPoint at, TPreviewSheet& sheet) {
  const TBitmap& src = picture.Pixels;
  const int32_t w = src.Width() / scale, h = src.Height() / scale;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint64_t r = 0, g = 0, b = 0, a = 0;
      for (int32_t dy = 0; dy < scale; ++dy)
        for (int32_t dx = 0; dx < scale; ++dx) {
          const int32_t sx = x * scale + dx, sy = y * scale + dy;
          const uint32_t p = src.Pixel(sx, sy);
          r += (p >> 16) & 0xFF, g += (p >> 8) & 0xFF, b += p & 0xFF;
          a += picture.Alpha[size_t(sy) * size_t(src.Width()) + size_t(sx)];
        }
      const uint64_t n = uint64_t(scale) * uint64_t(scale);
      const int32_t tx = at.X + x, ty = at.Y + y;
      sheet.Image.SetPixel(tx, ty, uint32_t((r / n) << 16 | (g / n) << 8 | (b / n)));
      sheet.Alpha[size_t(ty) * size_t(sheet.Image.Width()) + size_t(tx)] = uint8_t(a / n);
    }
}

void Text(TBitmap& sheet, const std::string& text, TRect box, int size, uint32_t colour,
          unsigned align) {
  sheet.Canvas.Font.Size = size;
  sheet.Canvas.Font.Color = PixelToColor(colour);
  DrawTextW(sheet, AnsiToWide(text), box,
            align | tfVCenter | tfSingleLine | tfNoPrefix | tfEndEllipsis);
}

// A control's name on a filled tag in its colour, kept inside the panel.
void Label(TPreviewSheet& sheet, const TMapLabel& label, const TPreviewPanel& panel,
           int32_t scale) {
  const std::u16string name = AnsiToWide(label.Name);
  sheet.Image.Canvas.Font.Size = 7;
  const TPoint extent = TextExtentW(sheet.Image.Canvas.Font, name, tfNoPrefix);
  const int32_t w = std::min(extent.X + 6, panel.Area.Width()),
                h = std::min(extent.Y + 2, panel.Area.Height());
  const int32_t x =
      std::clamp(panel.Area.Left + label.At.X / scale, panel.Area.Left, panel.Area.Right - w);
  const int32_t y =
      std::clamp(panel.Area.Top + label.At.Y / scale - h, panel.Area.Top, panel.Area.Bottom - h);
  for (int32_t ty = y; ty < y + h; ++ty)
    for (int32_t tx = x; tx < x + w; ++tx) {
      sheet.Image.SetPixel(tx, ty, label.Colour);
      sheet.Alpha[size_t(ty) * size_t(sheet.Image.Width()) + size_t(tx)] = 255;
    }
  Text(sheet.Image, label.Name, TRect{x + 3, y, x + w, y + h}, 7, 0xFFFFFF, tfLeft);
}

// What each colour of the map stands for, one control a line, as far as
// the box holds them.
void Legend(TPreviewSheet& sheet, const TSkinProbe& probe, const std::vector<TMapLabel>& labels,
            TRect box) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < labels.size(); ++i) {
    const TSkinButton& b = *probe.Skin->Buttons[i];
    std::string line = labels[i].Name + ": " + (b.IsArc ? "arc" : b.IsRing ? "ring" : "rectangle");
    for (const TProbedLine& p : probe.Lines)
      if (p.Button == &b) line += ", line " + std::to_string(p.Line);
    lines.push_back(line);
  }
  lines.push_back("hatched: cut away by the mask");
  const size_t room = size_t(std::max(box.Height() / LegendLine, 1));
  for (size_t i = 0; i < lines.size() && i < room; ++i) {
    const int32_t y = box.Top + int32_t(i) * LegendLine;
    std::string text = lines[i];
    if (i + 1 == room && lines.size() > room)
      text = "and " + std::to_string(lines.size() - i) + " more";
    const bool control = i < labels.size() && text == lines[i];
    if (control)
      for (int32_t ty = y + 3; ty < y + 12; ++ty)
        for (int32_t tx = box.Left; tx < box.Left + 9; ++tx)
          sheet.Image.SetPixel(tx, ty, labels[i].Colour);
    Text(sheet.Image, text, TRect{box.Left + 14, y, box.Right, y + LegendLine}, 8, Ink, tfLeft);
  }
}

// The lines the findings take under the panels: a heading, then a line
// each as the check prints them, the rest counted.
std::vector<std::string> FindingLines(const std::string& path, const std::vector<TFinding>& findings) {
  if (findings.empty()) return {};
  std::vector<std::string> lines{"Findings of portico-skin check"};
  const std::string text = FormatFindingsText(FileNameOf(path), findings);
  for (size_t at = 0; at < text.size() && lines.size() <= MaxFindingLines;) {
    const size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  if (findings.size() + 1 > lines.size())
    lines.back() = "and " + std::to_string(findings.size() - lines.size() + 2) + " more";
  return lines;
}
}  // namespace

std::optional<TPreviewSheet> BuildPreviewSheet(const std::string& path, const std::string& version,
                                               std::string& why, int scale,
                                               const std::vector<TFinding>& findings) {
  TSkinProbe probe(path, scale);
  if (!probe.Skin->BitmapNormal) {
    const TProbedImage* normal = probe.Image("Normal");
    why = normal && normal->Error ? "the Normal image cannot be decoded: " + *normal->Error
                                  : "the skin has no Normal image, so the launcher draws nothing";
    return std::nullopt;
  }
  probe.StartLikeLauncher(version);
  // A mask drawn for the scale and left out is among the findings.
  std::string left_out;
  const std::optional<MaskRegion> mask =
      MaskRegionAtScale(probe.Skin->MaskFile, MaskKeyColor, probe.Skin->Scale, nullptr, &left_out);
  const TWindowCover cover(mask);

  const int32_t w = probe.Skin->BitmapNormal->Width(), h = probe.Skin->BitmapNormal->Height();
  TPreviewSheet sheet;
  // Two columns of four rows (the place after Disabled holds the legend),
  // then the findings, shrunk by a whole factor when that is too large.
  const std::vector<std::string> finding_lines = FindingLines(path, findings);
  const int32_t findings_h = int32_t(finding_lines.size()) * LegendLine;
  while (2 * (w / sheet.Scale) + 3 * Margin > MaxSheetSide ||
         Rows * (h / sheet.Scale + TitleHeight) + (Rows + 1) * Margin + findings_h > MaxSheetSide)
    ++sheet.Scale;
  const int32_t pw = w / sheet.Scale, ph = h / sheet.Scale;
  const int32_t column = std::max(pw, MinColumnWidth), row = std::max(ph, 4 * LegendLine);
  const int32_t panels_h = Rows * (row + TitleHeight) + (Rows + 1) * Margin;
  const int32_t sheet_w = 2 * column + 3 * Margin,
                sheet_h = panels_h + (findings_h ? findings_h + Margin : 0);
  sheet.Image.SetSize(sheet_w, sheet_h);
  std::fill(sheet.Image.Data(), sheet.Image.Data() + size_t(sheet_w) * size_t(sheet_h), Background);
  sheet.Alpha.assign(size_t(sheet_w) * size_t(sheet_h), 255);

  const std::string at_scale =
      probe.Skin->Scale > 1 ? ", at " + std::to_string(probe.Skin->Scale) + "x" : std::string();
  const TPanelPicture first = ComposeLook(probe, cover, TControlLook::AsFirstShown);
  bool opacity_used = false;
  TPanelPicture composited = ShowComposited(probe, first, opacity_used);
  const std::string titles[] = {
      "As first shown (version \"" + version + "\"" + at_scale + ")",
      "Hot areas",
      "Over",
      "Down",
      "Disabled",
      "Controls",
      opacity_used ? "With a compositor (opacity applied)" : "With a compositor (no opacity: the outline)",
      "Without a compositor (the outline)"};
  for (int i = 0; i < 2 * Rows; ++i) {
    const int32_t x = Margin + (i % 2) * (column + Margin),
                  y = Margin + (i / 2) * (row + TitleHeight + Margin);
    Text(sheet.Image, titles[i], TRect{x, y, x + column, y + TitleHeight}, 9, Ink, tfLeft);
    if (i != 5)
      sheet.Panels.push_back(
          TPreviewPanel{titles[i], TRect{x, y + TitleHeight, x + pw, y + TitleHeight + ph}});
  }
  const auto place = [&](const TPanelPicture& picture, size_t panel) {
    const TRect& area = sheet.Panels[panel].Area;
    PlacePicture(picture, sheet.Scale, TPoint{area.Left, area.Top}, sheet);
  };
  place(first, 0);
  place(ComposeLook(probe, cover, TControlLook::Over), 2);
  place(ComposeLook(probe, cover, TControlLook::Down), 3);
  place(ComposeLook(probe, cover, TControlLook::Disabled), 4);
  place(composited, 5);
  place(ShowUncomposited(probe, first), 6);
  std::vector<TMapLabel> labels;
  place(DrawHitMap(probe, cover, labels), 1);
  for (const TMapLabel& label : labels) Label(sheet, label, sheet.Panels[1], sheet.Scale);
  const TRect& last = sheet.Panels[4].Area;
  Legend(sheet, probe, labels,
         TRect{last.Left + column + Margin, last.Top, last.Left + 2 * column + Margin,
               last.Top + row});
  for (size_t i = 0; i < finding_lines.size(); ++i) {
    const int32_t y = panels_h + int32_t(i) * LegendLine;
    Text(sheet.Image, finding_lines[i], TRect{Margin, y, sheet_w - Margin, y + LegendLine}, i ? 8 : 9,
         Ink, tfLeft);
  }
  sheet.Announcements = DescribeAnnouncements(probe, version);
  return sheet;
}

}  // namespace portico
