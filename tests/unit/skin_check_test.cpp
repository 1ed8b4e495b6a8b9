// portico-skin check: each hand-made skin below has exactly one fault, and
// the check names exactly the findings that fault causes, at their lines.
#include "skintool/skin_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "controls/pointer_control.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::ScratchFolder;
using test::SolidBitmap;

// A clean skin; line numbers are those of this text.
const std::string CleanSkin =
    "[SCREEN]\n"                       // 1
    "Normal=n.bmp\n"                   // 2
    "Over=o.bmp\n"                     // 3
    "Down=d.bmp\n"                     // 4
    "Disable=x.bmp\n"                  // 5
    "Mask=m.bmp\n"                     // 6
    "[BUTTONPOS]\n"                    // 7
    "1=Install,5,50,30,20\n"           // 8
    "2=Exit,40,50,30,20\n"             // 9
    "3=URL,5,5,30,10\n"                // 10
    "4=VersionCaption,40,5,40,15\n"    // 11
    "5=Dial,72,30,22,24,83,42,10,5\n"  // 12
    "[INFORMATION]\n"                  // 13
    "URL=https://example.org/\n"       // 14
    "[ACCESSIBILITY]\n"                // 15
    "Install=Install it\n"             // 16
    "Exit=Quit\n"                      // 17
    "URL=Open the site\n"              // 18
    "Dial=Dial\n";                     // 19

// The clean skin with `from` replaced by `to` (the first time it occurs).
std::string Edit(const std::string& from, const std::string& to, std::string text = CleanSkin) {
  const size_t at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}
// The clean skin with control lines added after the last one (line 13 on).
std::string WithControls(const std::string& lines) {
  return Edit("[INFORMATION]\n", lines + "[INFORMATION]\n");
}

// A 100 x 80 mask, white (cut away) where `cut` says.
std::string Mask(const std::function<bool(int, int)>& cut, int w = 100, int h = 80) {
  TBitmap m(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) m.SetPixel(x, y, cut(x, y) ? 0xFFFFFF : 0x000000);
  return EncodeBmp24(m);
}

// Whether (x, y) is in the ring Dial's rectangle but not on its ring: a
// state image drawn like the Normal image (0x203040) there lights up only
// the ring.
bool DialCorner(int x, int y) {
  static const TPointerControl dial(TRect{72, 30, 94, 54}, TPoint{83, 42}, 10, 5, TPoint{-1, -1},
                                    TPoint{-1, -1});
  return x >= 72 && x < 94 && y >= 30 && y < 54 && !dial.HitTest(x, y);
}

// A state image of one colour, drawn like the Normal image in Dial's corners.
TBitmap Look(uint32_t rgb, int w = 100, uint32_t normal = 0x203040) {
  TBitmap b = SolidBitmap(w, 80, rgb);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < w; ++x)
      if (DialCorner(x, y)) b.SetPixel(x, y, normal);
  return b;
}

// Over and Down images that light up only the clean skin's Dial and the
// ring or arc `added` (a control a case adds) inside their rectangles.
void LightRingsOnly(const ScratchFolder& d, const TPointerControl& added) {
  for (auto [file, rgb] : {std::pair{"o.bmp", 0x3050A0u}, std::pair{"d.bmp", 0x102050u}}) {
    TBitmap look = Look(rgb);
    for (int y = added.Bounds.Top; y < added.Bounds.Bottom; ++y)
      for (int x = added.Bounds.Left; x < added.Bounds.Right; ++x)
        if (!added.HitTest(x, y)) look.SetPixel(x, y, 0x203040);
    d.Write(file, EncodeBmp24(look));
  }
}

// The test's CMYK JPEG (16 x 16), with an ICC profile's first segment.
std::string CmykJpegWithProfile() {
  std::ifstream in(std::string(PORTICO_TEST_DATA) + "/jpeg/cmyk_adobe.jpg", std::ios::binary);
  std::string jpeg((std::istreambuf_iterator<char>(in)), {});
  const std::string payload = std::string("ICC_PROFILE\0\x01\x01", 14) + std::string(32, 'p');
  const size_t length = payload.size() + 2;
  return jpeg.substr(0, 2) + "\xFF\xE2" + char(length >> 8) + char(length & 0xFF) + payload + jpeg.substr(2);
}

// A 32-bit BMP whose alpha byte is 0xFF on the left half and 0x40 on the
// right, drawn like the Normal image in Dial's corners.
std::string HalfTranslucent32(int w, int h) {
  test::BmpSpec spec;
  spec.Width = w;
  spec.Height = h;
  spec.BitsPerPixel = 32;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      spec.Pixels.insert(spec.Pixels.end(), {uint8_t(DialCorner(x, h - 1 - y) ? 0x40 : 0x20),
                                             uint8_t(DialCorner(x, h - 1 - y) ? 0x30 : 0xC0), 0x20,
                                             uint8_t(x < w / 2 ? 0xFF : 0x40)});
  std::vector<uint8_t> bytes = test::BuildBmp(spec);
  return std::string(bytes.begin(), bytes.end());
}

struct TCheckCase {
  const char* Name;
  std::string Ini;
  std::function<void(const ScratchFolder&)> Files;      // changes to the clean images
  std::multiset<std::pair<std::string, int>> Expected;  // code and line
  std::string MessageHas = {};                          // a phrase one of the findings must hold
  const char* Description = "skin.ini";
  std::optional<TToolScreen> Screen = {};  // the screen the tool runs on
};

class SkinCheck : public ::testing::TestWithParam<TCheckCase> {
 protected:
  void SetUp() override {
    dir_.Write("n.bmp", EncodeBmp24(SolidBitmap(100, 80, 0x203040)));
    dir_.Write("o.bmp", EncodeBmp24(Look(0x3050A0)));
    dir_.Write("d.bmp", EncodeBmp24(Look(0x102050)));
    dir_.Write("x.bmp", EncodeBmp24(SolidBitmap(100, 80, 0x101010)));
    dir_.Write("m.bmp", Mask([](int x, int y) { return x >= 96 && y < 4; }));
  }
  test::ScratchFolder dir_;
  test::HeadlessApp h_;
};

TEST_P(SkinCheck, FindsExactlyWhatTheFaultCauses) {
  const TCheckCase& c = GetParam();
  dir_.Write("skin.ini", c.Ini);
  if (c.Files) c.Files(dir_);
  const std::vector<TFinding> findings = CheckSkin(dir_.File(c.Description), nullptr, c.Screen);
  std::multiset<std::pair<std::string, int>> got;
  std::string all;
  bool phrase = c.MessageHas.empty();
  // Controls a case adds have no screen-reader name: that finding counts
  // only in the cases about it.
  const bool names_checked = std::any_of(c.Expected.begin(), c.Expected.end(),
                                         [](const auto& e) { return e.first == "accessibility-name-missing"; });
  for (const TFinding& f : findings) {
    if (f.Code == "accessibility-name-missing" && !names_checked) continue;
    // The skins lie in a folder of their own: every check names it.
    if (f.Code == "description-folder") {
      EXPECT_NE(f.Message.find("cd '" + dir_.Path() + "' && portico '"), std::string::npos) << f.Message;
      continue;
    }
    got.emplace(f.Code, f.Line);
    all += std::to_string(f.Line) + ": " + f.Code + ": " + f.Message + "\n";
    phrase |= f.Message.find(c.MessageHas) != std::string::npos;
  }
  EXPECT_EQ(got, c.Expected) << all;
  EXPECT_TRUE(phrase) << "no finding says \"" << c.MessageHas << "\":\n" << all;
  // Errors are exactly the faults that keep the launcher from showing the skin.
  const bool refused = std::any_of(c.Expected.begin(), c.Expected.end(), [](const auto& e) {
    return e.first == "required-control-missing" || e.first == "image-undecodable" ||
           e.first.rfind("description-", 0) == 0;
  });
  // A note (an arc's sweep) leaves the status alone.
  const bool warned = std::any_of(c.Expected.begin(), c.Expected.end(),
                                  [](const auto& e) { return e.first != "arc-sweep"; });
  EXPECT_EQ(CheckExitStatus(findings), refused ? 2 : warned ? 1 : 0) << all;
}

const std::string LongName(300, 'n');

INSTANTIATE_TEST_SUITE_P(
    Faults, SkinCheck,
    ::testing::Values(
        TCheckCase{"Clean", CleanSkin, nullptr, {}},

        // The description file itself and how it is encoded.
        TCheckCase{"DescriptionMissing", CleanSkin, nullptr, {{"description-missing", 0}}, "no such", "none.ini"},
        TCheckCase{"DescriptionNameRooted", CleanSkin, nullptr, {{"description-missing", 0}},
                   "looked up in the current folder", "C:skin.ini"},
        TCheckCase{"DescriptionIsAFolder", CleanSkin, [](auto& d) { std::filesystem::create_directory(d.File("dir.ini")); },
                   {{"description-missing", 0}}, "not a file", "dir.ini"},
        TCheckCase{"Utf16WithoutByteOrderMark", [] {
                     std::string wide;
                     for (char c : CleanSkin) wide += std::string{c, '\0'};
                     return wide;
                   }(), nullptr,
                   {{"encoding", 0}, {"required-control-missing", 0}, {"required-control-missing", 0}},
                   "without a byte-order mark"},
        TCheckCase{"NulByte", Edit("example.org", std::string("exa\0mple.org", 12)), nullptr, {{"encoding", 14}}},

        // Sections, keys and lines the launcher never reads, and its limits.
        TCheckCase{"MisspelledSection", Edit("[BUTTONPOS]", "[BUTTONSPOS]"), nullptr,
                   // No controls: nothing for [ACCESSIBILITY] to name.
                   {{"unknown-section", 7}, {"required-control-missing", 8}, {"required-control-missing", 9},
                    {"unknown-key", 16}, {"unknown-key", 17}, {"unknown-key", 18}, {"unknown-key", 19}},
                   "did you mean [BUTTONPOS]?"},
        TCheckCase{"MisspelledKey", Edit("Over=", "Hover="), nullptr, {{"unknown-key", 3}, {"image-absent", 1}},
                   "did you mean \"Over\"?"},
        TCheckCase{"RepeatedImageKey", Edit("Mask=m.bmp\n", "Mask=m.bmp\nnormal=o.bmp\n"), nullptr,
                   {{"duplicate-key", 7}}},
        TCheckCase{"RepeatedControlKey", WithControls("1=Deco,1,75,2,2\n"), nullptr, {{"duplicate-key", 13}},
                   "made twice"},
        TCheckCase{"SecondSection", CleanSkin + "[screen]\nOver=x.bmp\n", nullptr, {{"duplicate-section", 20}}},
        TCheckCase{"KeyBeforeAnySection", "Normal=n.bmp\n" + CleanSkin, nullptr, {{"key-outside-section", 1}}},
        TCheckCase{"LineWithoutEquals", WithControls("6 Deco,1,75,2,2\n"), nullptr, {{"ignored-line", 13}}},
        TCheckCase{"KeyWithoutName", Edit("5=Dial", "=x\n5=Dial"), nullptr, {{"empty-key", 12}, {"unknown-key", 20}}, "1 key line(s)"},
        TCheckCase{"ValueTooLong", Edit("Mask=m.bmp", "Mask=" + std::string(3000, 'm')), nullptr,
                   {{"value-cut", 6}, {"mask-missing", 6}}},
        TCheckCase{"KeyListTooLong",
                   WithControls(std::string(8000, 'a') + "=Deco,1,75,2,2\n" + std::string(8000, 'b') +
                                "=Deco2,4,75,2,2\n" + std::string(500, 'c') + "=Deco3,7,75,2,2\n"),
                   nullptr, {{"key-list-cut", 15}}},

        // Images.
        TCheckCase{"ImageMissing", Edit("Over=o.bmp", "Over=images\\over.bmp"), nullptr, {{"image-missing", 3}}},
        TCheckCase{"ImageAbsolute", Edit("Down=d.bmp", "Down=/images/d.bmp"), nullptr, {{"image-missing", 4}},
                   "relative to the skin folder"},
        TCheckCase{"NoDownImage", Edit("Down=d.bmp\n", ""), nullptr, {{"image-absent", 1}}},
        TCheckCase{"ImageUndecodable", CleanSkin, [](auto& d) { d.Write("o.bmp", "BM\x10garbage"); },
                   {{"image-undecodable", 3}}},
        TCheckCase{"ArrowImageUndecodable", CleanSkin, [](auto& d) { d.Write("scroll_arrow_down.bmp", "not an image"); },
                   {{"image-undecodable", 0}}, "fixed name"},
        TCheckCase{"ImageWithoutPixels", CleanSkin,
                   [](auto& d) {
                     test::BmpSpec empty;
                     empty.Width = 0;
                     const std::vector<uint8_t> bytes = test::BuildBmp(empty);
                     d.Write("o.bmp", std::string(bytes.begin(), bytes.end()));
                   },
                   {{"image-empty", 3}}},
        TCheckCase{"ImageOtherSize", CleanSkin, [](auto& d) { d.Write("d.bmp", EncodeBmp24(Look(0x102050, 90))); },
                   {{"image-size", 4}}},
        TCheckCase{"ImageAlpha", CleanSkin, [](auto& d) { d.Write("o.bmp", HalfTranslucent32(100, 80)); },
                   {{"image-alpha", 3}}, "4000 pixels (50.00 %)"},
        TCheckCase{"MaskMissing", Edit("Mask=m.bmp", "Mask=mask.bmp"), nullptr, {{"mask-missing", 6}}},
        TCheckCase{"OpacityImageMissing", Edit("Mask=m.bmp\n", "Mask=m.bmp\nAlpha=a.bmp\n"), nullptr,
                   {{"alpha-missing", 7}}, "the mask outlines the window instead"},
        TCheckCase{"OpacityImageOtherSize", Edit("Mask=m.bmp\n", "Mask=m.bmp\nAlpha=a.bmp\n"),
                   [](auto& d) { d.Write("a.bmp", EncodeBmp24(SolidBitmap(90, 80, 0xFFFFFF))); },
                   {{"alpha-unusable", 7}}, "90x80 pixels"},
        TCheckCase{"MaskNotABitmap", CleanSkin, [](auto& d) { d.Write("m.bmp", "\xFF\xD8\xFF\xE0 jpeg"); },
                   {{"mask-unreadable", 6}}},
        TCheckCase{"MaskLarger", CleanSkin, [](auto& d) { d.Write("m.bmp", Mask([](int, int) { return false; }, 120, 90)); },
                   {{"image-size", 6}}},
        TCheckCase{"MaskAllWhite", CleanSkin, [](auto& d) { d.Write("m.bmp", Mask([](int, int) { return true; })); },
                   {{"mask-empty", 6}, {"control-cut-away", 8}, {"control-cut-away", 9}, {"control-cut-away", 10},
                    {"control-cut-away", 11}, {"control-cut-away", 12}}},

        TCheckCase{"ImageOfAnotherFormat", CleanSkin, [](auto& d) { d.Write("o.bmp", "GIF89a\x64\0\x50\0"); },
                   {{"image-undecodable", 3}}, "but a GIF image"},
        TCheckCase{"CmykJpegWithProfile", Edit("x.bmp", "x.jpg"), [](auto& d) { d.Write("x.jpg", CmykJpegWithProfile()); },
                   {{"jpeg-cmyk", 5}, {"image-size", 5}}, "does not apply the colour profile"},
        TCheckCase{"WindowLargerThanSmallScreens", CleanSkin,
                   [](auto& d) {
                     d.Write("n.bmp", EncodeBmp24(SolidBitmap(1400, 80, 0x203040)));
                     d.Write("o.bmp", EncodeBmp24(Look(0x3050A0, 1400)));
                     d.Write("d.bmp", EncodeBmp24(Look(0x102050, 1400)));
                     d.Write("x.bmp", EncodeBmp24(SolidBitmap(1400, 80, 0x101010)));
                     d.Write("m.bmp", Mask([](int x, int y) { return x >= 1396 && y < 4; }, 1400));
                   },
                   {{"window-larger-than-screen", 2}}, "centres it at -17,344"},
        TCheckCase{"WindowLargerThanThisScreenAtItsScale", CleanSkin, nullptr, {{"window-larger-than-screen", 2}},
                   "than this computer's screen (150 x 100, where the launcher runs at scale 2): the launcher "
                   "centres it at -25,-30", "skin.ini", TToolScreen{TRect{0, 0, 150, 100}, 2}},

        // The mask's colours, and the opacity image against the mask.
        TCheckCase{"MaskWhiteNotPure", CleanSkin,
                   [](auto& d) {
                     TBitmap m = SolidBitmap(100, 80, 0);
                     for (int y = 0; y < 4; ++y)
                       for (int x = 96; x < 100; ++x) m.SetPixel(x, y, 0xFEFEFE);
                     d.Write("m.bmp", EncodeBmp24(m));
                   },
                   {{"mask-no-white", 6}}, "its lightest colour is #FEFEFE"},
        TCheckCase{"MaskWithGreyEdge", CleanSkin,
                   [](auto& d) {
                     TBitmap m = SolidBitmap(100, 80, 0);
                     for (int y = 0; y < 5; ++y)
                       for (int x = 95; x < 100; ++x) m.SetPixel(x, y, x == 95 || y == 4 ? 0xC0C0C0 : 0xFFFFFF);
                     d.Write("m.bmp", EncodeBmp24(m));
                   },
                   {{"mask-fringe", 6}}, "keeps 8 light grey pixel(s)"},
        TCheckCase{"MaskInverted", CleanSkin,
                   [](auto& d) {
                     d.Write("m.bmp", Mask([](int x, int y) { return (x >= 4 && x < 96) || (y >= 4 && y < 76); }));
                   },
                   {{"mask-inverted", 6}, {"control-cut-away", 8}, {"control-cut-away", 9}, {"control-cut-away", 10},
                    {"control-cut-away", 11}, {"control-cut-away", 12}},
                   "looks inverted"},
        TCheckCase{"OpacityDrawnInverted", Edit("Mask=m.bmp\n", "Mask=m.bmp\nAlpha=a.bmp\n"),
                   [](auto& d) { d.Write("a.bmp", Mask([](int x, int y) { return x >= 96 && y < 4; })); },
                   {{"alpha-mask-mismatch", 7}}, "it makes 7984 pixels (100.00 %) of the 7984 the mask keeps fully transparent"},

        // Hot areas: where rings and arcs answer, and which looks show there.
        TCheckCase{"RingCentreFromItsRectangle", WithControls("6=Knob,8,22,24,24,12,12,8,4\n"), nullptr,
                   {{"control-no-hot-pixel", 13}}, "centre (12, 12) lies outside its rectangle"},
        TCheckCase{"RingLargerThanItsRectangle", WithControls("6=Knob,10,24,20,20,20,34,14,3\n"),
                   [](auto& d) { LightRingsOnly(d, TPointerControl({10, 24, 30, 44}, {20, 34}, 14, 3, {-1, -1}, {-1, -1})); },
                   {{"ring-clipped", 13}}, "are cut off"},
        TCheckCase{"RingWithDeadCentre", WithControls("6=Knob,8,22,24,24,20,34,10,1\n"),
                   [](auto& d) { LightRingsOnly(d, TPointerControl({8, 22, 32, 46}, {20, 34}, 10, 1, {-1, -1}, {-1, -1})); },
                   {{"ring-dead-centre", 13}}, "1 pixel(s) at its centre (20, 34) take no press"},
        TCheckCase{"ArcSweep", WithControls("6=Gauge,8,22,24,24,20,34,10,5,30,34,20,44\n") + "Gauge=Gauge\n",
                   [](auto& d) { LightRingsOnly(d, TPointerControl({8, 22, 32, 46}, {20, 34}, 10, 5, {30, 34}, {20, 44})); },
                   {{"arc-sweep", 13}}, "sweeps 90 degrees clockwise from 0 (its start point (30, 34)) to 90"},
        TCheckCase{"RingLitInItsCorners", CleanSkin, [](auto& d) { d.Write("o.bmp", EncodeBmp24(SolidBitmap(100, 80, 0x3050A0))); },
                   {{"lit-outside-shape", 12}}, "differs from Normal in 40 pixels (17.86 %)"},
        TCheckCase{"PressedLookUnchanged", CleanSkin,
                   [](auto& d) {
                     TBitmap down = Look(0x102050);
                     for (int y = 50; y < 70; ++y)
                       for (int x = 5; x < 35; ++x) down.SetPixel(x, y, 0x203040);
                     d.Write("d.bmp", EncodeBmp24(down));
                   },
                   {{"look-unchanged", 8}}, "no change when pressed"},

        // Images drawn for high-DPI screens, beside the 1x ones.
        TCheckCase{"ScaledImagesOfTheRightSize", CleanSkin,
                   [](auto& d) {
                     d.Write("n@2x.bmp", EncodeBmp24(SolidBitmap(200, 160, 0x203040)));
                     d.Write("m@3x.bmp", EncodeBmp24(SolidBitmap(300, 240, 0x000000)));
                   },
                   {}},
        TCheckCase{"ScaledImageOfAWrongSize", CleanSkin,
                   [](auto& d) { d.Write("o@2x.bmp", EncodeBmp24(SolidBitmap(150, 120, 0x3050A0))); },
                   {{"scaled-image-size", 3}}, "o@2x.bmp is 150x120, not 200x160"},
        TCheckCase{"ScaledMaskOfAWrongSize", CleanSkin,
                   [](auto& d) { d.Write("m@4x.bmp", Mask([](int, int) { return false; })); },
                   {{"scaled-image-size", 6}}, "left out"},

        // Control lines the scan skips, reads in part, or makes less of.
        TCheckCase{"TooFewFields", WithControls("6=Short,1,2,3\n"), nullptr, {{"line-skipped", 13}}, "ends after field 4"},
        TCheckCase{"ZeroWidth", WithControls("6=Flat,1,2,0,3\n"), nullptr, {{"line-skipped", 13}}, "width, 0,"},
        TCheckCase{"NumberTooLarge", WithControls("6=Big,1,2,99999999999,3\n"), nullptr, {{"line-skipped", 13}},
                   "does not fit 32 bits"},
        TCheckCase{"CommentAtLineEnd", Edit("Install,5,50,30,20", "Install,5,50,30,20 ; the button"), nullptr,
                   {{"line-partly-read", 8}}, "expects a comma"},
        TCheckCase{"RingCutShort", Edit("83,42,10,5", "83,42"), nullptr, {{"line-partly-read", 12}}, "ring needs"},
        TCheckCase{"RingRadiiSwapped", Edit("83,42,10,5", "83,42,5,10"), nullptr, {{"ring-fallback", 12}},
                   "inner radius 10 is not below outer radius 5"},
        TCheckCase{"DiscIsNoRing", Edit("83,42,10,5", "83,42,10,0"), nullptr, {{"ring-fallback", 12}}, "full disc"},
        TCheckCase{"ArcPointNegative", Edit("83,42,10,5", "83,42,10,5,-1,42,83,32"), nullptr, {{"arc-fallback", 12}}},
        TCheckCase{"NameTooLong", WithControls("6=" + LongName + ",1,75,2,2\n"), nullptr, {{"name-cut", 13}}},

        // Names.
        TCheckCase{"ExitWithTrailingBlank", Edit("Exit,", "Exit ,"), nullptr,
                   {{"required-control-missing", 9}, {"unknown-key", 17}},
                   "\"Exit \" on line 9 has a trailing blank"},
        TCheckCase{"InstallInLowerCase", Edit("Install,", "install,"), nullptr, {{"required-control-missing", 8}},
                   "differs in letter case"},
        TCheckCase{"InstallMisspelt", Edit("Install,", "Instal,"), nullptr,
                   {{"required-control-missing", 8}, {"unknown-key", 16}},
                   "one letter off"},
        TCheckCase{"ExitLineSkipped", Edit("Exit,40,50,30,20", "Exit,40,50,30,-20"), nullptr,
                   {{"required-control-missing", 9}, {"line-skipped", 9}, {"unknown-key", 17}}, "is skipped"},
        TCheckCase{"NameUsedTwice", WithControls("6=Dial,1,75,2,2\n"), nullptr, {{"duplicate-name", 13}}},
        TCheckCase{"UrlWithoutTarget", Edit("URL=https://example.org/\n", ""), nullptr, {{"url-without-target", 10}}},
        TCheckCase{"UrlInOtherCase", Edit("=URL,", "=Url,"), nullptr, {{"special-name-near-miss", 10}}},

        // Where controls lie.
        TCheckCase{"ControlOutside", WithControls("6=Far,200,10,5,5\n7=Edge,95,70,10,5\n"), nullptr,
                   {{"control-outside", 13}, {"control-outside", 14}}},
        TCheckCase{"ControlUnderCutAway", CleanSkin,
                   [](auto& d) { d.Write("m.bmp", Mask([](int x, int y) { return x < 20 && y >= 50; })); },
                   {{"control-cut-away", 8}}, "has 315 pixels (48.39 %) under"},
        TCheckCase{"ControlsOverlap", WithControls("6=Cover,10,55,5,5\n"), nullptr, {{"control-overlap", 13}},
                   "a click goes to \"Install\""},
        TCheckCase{"ControlUnderDisabledCaption", WithControls("6=Hidden,45,8,5,5\n"), nullptr,
                   {{"control-overlap", 13}}, "which takes no clicks"},

        // Captions.
        TCheckCase{"CaptionOnMidGrey", CleanSkin,
                   [](auto& d) {
                     d.Write("n.bmp", EncodeBmp24(SolidBitmap(100, 80, 0x808080)));
                     d.Write("o.bmp", EncodeBmp24(Look(0x3050A0, 100, 0x808080)));
                     d.Write("d.bmp", EncodeBmp24(Look(0x102050, 100, 0x808080)));
                     d.Write("x.bmp", EncodeBmp24(SolidBitmap(100, 80, 0x828282)));
                   },
                   {{"caption-contrast", 11}}, "1.0:1"},

        // What keyboard and screen-reader users get.
        TCheckCase{"NoAccessibilitySection", Edit("[ACCESSIBILITY]\n", "[OTHER]\n"), nullptr,
                   {{"accessibility-name-missing", 0}, {"unknown-section", 15}}, "announces the window as \"skin\""},
        TCheckCase{"ControlWithoutAccessibleName", Edit("Dial=Dial\n", ""), nullptr,
                   {{"accessibility-name-missing", 12}}, "\"Dial\" has no entry"},
        TCheckCase{"OverLookLikeNormal", CleanSkin,
                   [](auto& d) { d.Write("o.bmp", EncodeBmp24(Look(0x213141))); },
                   {{"focus-invisible", 8}, {"focus-invisible", 9}, {"focus-invisible", 10}, {"focus-invisible", 12}},
                   "1.0"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SkinCheckOutput, CompilerLinesJsonAndExitStatus) {
  const std::vector<TFinding> findings = {
      {0, TSeverity::Warning, "encoding", "bytes \xFF and \"quotes\"\n"},
      {12, TSeverity::Error, "required-control-missing", "no control named \"Exit\""}};
  EXPECT_EQ(FormatFindingsText("skin.ini", findings),
            "skin.ini: warning: bytes \xFF and \"quotes\"\n [encoding]\n"
            "skin.ini:12: error: no control named \"Exit\" [required-control-missing]\n");
  EXPECT_EQ(FormatFindingsJson("a\\b.ini", findings),
            "[\n {\"file\": \"a\\\\b.ini\", \"line\": null, \"severity\": \"warning\", \"code\": "
            "\"encoding\", "
            "\"message\": \"bytes \xEF\xBF\xBD and \\\"quotes\\\"\\u000a\"},\n"
            " {\"file\": \"a\\\\b.ini\", \"line\": 12, \"severity\": \"error\", \"code\": "
            "\"required-control-missing\", \"message\": \"no control named \\\"Exit\\\"\"}\n]\n");
  EXPECT_EQ(FormatFindingsJson("s.ini", {}), "[]\n");
  EXPECT_EQ(FindingsSummary("skin.ini", {}), "skin.ini: no findings");
  EXPECT_EQ(FindingsSummary("skin.ini", findings), "skin.ini: 1 error and 1 warning");
  TFindingList flood;
  for (int i = 1; i <= 60; ++i) flood.Warn(i, "ignored-line", "x");
  EXPECT_EQ(FindingsSummary("skin.ini", flood.Sorted()), "skin.ini: 60 warnings");
  EXPECT_EQ(CheckExitStatus({}), 0);
  EXPECT_EQ(CheckExitStatus({findings[0]}), 1);
  EXPECT_EQ(CheckExitStatus(findings), 2);
}

TEST(SkinCheckOutput, AFloodOfOneFindingIsCutWithACount) {
  TFindingList list;
  for (int i = 1; i <= 60; ++i) list.Warn(i, "ignored-line", "x");
  const std::vector<TFinding> sorted = list.Sorted();
  ASSERT_EQ(sorted.size(), TFindingList::MaxPerCode + 1);
  EXPECT_EQ(sorted.front().Message, "10 more findings like this are not shown");
}

}  // namespace
}  // namespace portico
