// portico-skin preview: its panels are what the launcher composes, its map
// follows the launcher's hit test, and its PNG keeps pixels and alpha.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

#include "app/unit_install.h"
#include "classlib/params.h"
#include "skin_fixture.h"
#include "skintool/png_file.h"
#include "skintool/pointer_report.h"
#include "skintool/preview_sheet.h"

namespace portico {
namespace {

using test::EncodeBmp24;

// A picture whose every pixel differs, tinted per state, so that a copy
// from the wrong image or the wrong place shows; at `scale` 2 the same
// picture drawn finer (its odd pixels differ from the 1x one enlarged).
TBitmap Pattern(uint32_t tint, int scale = 1) {
  TBitmap b(120 * scale, 90 * scale);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      b.SetPixel(x, y, (uint32_t(x * 2 / scale) << 16 | uint32_t(y * 2 / scale) << 8) ^ tint);
  return b;
}

const std::string Ring = "5=Dial,70,20,41,41,90,40,20,10\n";
const std::string SkinText =
    "[SCREEN]\nNormal=n.bmp\nOver=o.bmp\nDown=d.bmp\nDisable=x.bmp\nMask=m.bmp\n[BUTTONPOS]\n"
    "1=Install,5,60,30,20\n2=Exit,40,60,25,20\n3=Deco,5,5,20,10\n4=VersionCaption,5,30,50,20\n" +
    Ring;

class SkinPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("n.bmp", EncodeBmp24(Pattern(0x000000)));
    dir_.Write("o.bmp", EncodeBmp24(Pattern(0x00FF00)));
    dir_.Write("d.bmp", EncodeBmp24(Pattern(0x0000FF)));
    dir_.Write("x.bmp", EncodeBmp24(Pattern(0xFF0000)));
    TBitmap mask = test::SolidBitmap(120, 90, 0);
    for (int y = 0; y < 10; ++y)
      for (int x = 110; x < 120; ++x) mask.SetPixel(x, y, 0xFFFFFF);
    dir_.Write("m.bmp", EncodeBmp24(mask));
    dir_.Write("skin.ini", SkinText);
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
  }
  void TearDown() override { std::filesystem::current_path(old_cwd_); }

  TPreviewSheet Sheet(const std::string& file = "skin.ini", int scale = 1) {
    std::string why;
    std::optional<TPreviewSheet> sheet = BuildPreviewSheet(dir_.File(file), "2.5", why, scale);
    EXPECT_TRUE(sheet) << why;
    return sheet ? std::move(*sheet) : TPreviewSheet{};
  }
  static uint32_t At(const TPreviewSheet& s, int panel, int x, int y) {
    const TRect& a = s.Panels[size_t(panel)].Area;
    return s.Image.Pixel(a.Left + x, a.Top + y);
  }
  static uint8_t AlphaAt(const TPreviewSheet& s, int panel, int x, int y) {
    const TRect& a = s.Panels[size_t(panel)].Area;
    return s.Alpha[size_t(a.Top + y) * size_t(s.Image.Width()) + size_t(a.Left + x)];
  }

  test::ScratchFolder dir_;
  std::filesystem::path old_cwd_;
  test::HeadlessApp h_;
};

enum { FirstShown, HotAreas, Over, Down, Disabled };

TEST_F(SkinPreview, PanelsAreWhatTheLauncherShowsInEachLook) {
  const TPreviewSheet sheet = Sheet();
  ASSERT_EQ(sheet.Panels.size(), 7u);
  ASSERT_EQ(sheet.Scale, 1);

  SetCommandLine({"portico", "skin.ini", "2.5"});
  h_.ws.SetFocusOnShow(true);  // the pointer lights controls of the foreground window only
  h_.app.CreateForm(FormInstall);
  FormInstall->Show();
  const auto* window = h_.ws.Find(FormInstall->Handle());
  ASSERT_TRUE(window && window->Shape);
  auto in_shape = [&](int x, int y) {
    for (const TRect& r : *window->Shape)
      if (r.Contains(x, y)) return true;
    return false;
  };
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) {
      ASSERT_EQ(AlphaAt(sheet, FirstShown, x, y), in_shape(x, y) ? 255 : 0) << x << "," << y;
      if (in_shape(x, y)) {
        ASSERT_EQ(At(sheet, FirstShown, x, y), window->Frame.Pixel(x, y)) << x << "," << y;
      }
    }

  // Each control in turn under the pointer, then pressed: the launcher's
  // frame at its rectangle is the Over, then the Down panel there.
  auto same_rect = [&](int panel, const TRect& r) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (At(sheet, panel, x, y) != window->Frame.Pixel(x, y)) return false;
    return true;
  };
  for (const auto& b : Skin->Buttons) {
    TPoint p{-1, -1};
    for (int y = b->Bounds.Top; y < b->Bounds.Bottom && p.X < 0; ++y)
      for (int x = b->Bounds.Left; x < b->Bounds.Right && p.X < 0; ++x)
        if (b->HitTest(x, y)) p = TPoint{x, y};
    h_.ws.MovePointer(FormInstall->Left + p.X, FormInstall->Top + p.Y);
    EXPECT_TRUE(same_rect(Over, b->Bounds)) << b->Name;
    h_.ws.PressButton();
    EXPECT_TRUE(same_rect(Down, b->Bounds)) << b->Name;
    h_.ws.MovePointer(0, 0);  // away before the release: no click
    h_.ws.ReleaseButton();
  }
  // The launcher disables only the version box; the panel shows it alike.
  EXPECT_TRUE(same_rect(Disabled, Skin->FindButton(VersionCaptionName)->Bounds));
  EXPECT_FALSE(h_.app.Terminated());
  h_.app.DestroyForms();
  FormInstall = nullptr;
}

TEST_F(SkinPreview, HotAreaMapPaintsWhereTheHitTestAnswersAndShadesCutAwayParts) {
  const TPreviewSheet with_ring = Sheet();
  dir_.Write("noring.ini", SkinText.substr(0, SkinText.size() - Ring.size()));
  const TPreviewSheet without_ring = Sheet("noring.ini");
  // The ring's hole and the corners of its rectangle are left alone; the ring is painted.
  EXPECT_EQ(At(with_ring, HotAreas, 90, 40), At(without_ring, HotAreas, 90, 40));
  EXPECT_EQ(At(with_ring, HotAreas, 108, 58), At(without_ring, HotAreas, 108, 58));
  EXPECT_NE(At(with_ring, HotAreas, 90, 55), At(without_ring, HotAreas, 90, 55));
  // Cut-away parts stay opaque on the map, and darker than the picture there.
  EXPECT_EQ(AlphaAt(with_ring, HotAreas, 115, 5), 255);
  EXPECT_EQ(AlphaAt(with_ring, FirstShown, 115, 5), 0);
  EXPECT_LT(At(with_ring, HotAreas, 115, 5) & 0xFF, At(with_ring, HotAreas, 115, 15) & 0xFF);
}

TEST_F(SkinPreview, AtScaleTwoTakesTheImagesDrawnForItAndDoublesOutlineAndHotAreas) {
  dir_.Write("o@2x.bmp", EncodeBmp24(Pattern(0x00FF00, 2)));
  const TPreviewSheet sheet = Sheet("skin.ini", 2);
  ASSERT_EQ(sheet.Panels.size(), 7u);
  EXPECT_EQ(sheet.Panels[Over].Area.Width(), 240);
  EXPECT_EQ(sheet.Panels[Over].Area.Height(), 180);
  // Inside Install (5,60 at 1x), at an odd pixel: the Over look drawn for 2x.
  EXPECT_EQ(At(sheet, Over, 21, 131), Pattern(0x00FF00, 2).Pixel(21, 131));
  // The mask's cut-away corner (x 110 on, y below 10) is enlarged, both rows of each of its rows.
  EXPECT_EQ(AlphaAt(sheet, FirstShown, 221, 19), 0);
  EXPECT_EQ(AlphaAt(sheet, FirstShown, 219, 19), 255);
  EXPECT_EQ(AlphaAt(sheet, FirstShown, 221, 20), 255);
  // The ring's hole (around 90,40) stays clear on the map, the ring (90,55) is painted.
  dir_.Write("noring.ini", SkinText.substr(0, SkinText.size() - Ring.size()));
  const TPreviewSheet without_ring = Sheet("noring.ini", 2);
  EXPECT_EQ(At(sheet, HotAreas, 181, 81), At(without_ring, HotAreas, 181, 81));
  EXPECT_NE(At(sheet, HotAreas, 181, 111), At(without_ring, HotAreas, 181, 111));
}

TEST_F(SkinPreview, WatchStatusLineReadsTheSkinAsShownAtTheWindowsScale) {
  dir_.Write("n@2x.bmp", EncodeBmp24(Pattern(0x000000, 2)));
  const TPointerReport report(dir_.File("skin.ini"));
  auto colour = [](uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", unsigned(rgb));
    return std::string(text);
  };
  // In Install at 1x (10,65); at 2x an odd pixel of the image drawn for it.
  const std::string at_1x = report.Describe({10, 65}, {120, 90});
  EXPECT_NE(at_1x.find("Install; Normal " + colour(Pattern(0).Pixel(10, 65))), std::string::npos) << at_1x;
  const std::string at_2x = report.Describe({21, 131}, {240, 180});
  EXPECT_NE(at_2x.find("pointer at 10,65: Install; Normal " + colour(Pattern(0, 2).Pixel(21, 131))),
            std::string::npos)
      << at_2x;
  // The mask's cut-away corner at 2x.
  EXPECT_NE(report.Describe({221, 19}, {240, 180}).find("cut away by the mask"), std::string::npos);
}

TEST_F(SkinPreview, ShowsTheWindowWithAndWithoutACompositorSideBySide) {
  // An opacity image at odds with the mask: transparent at the top left,
  // which the mask keeps; opaque at the top right, which the mask cuts.
  TBitmap alpha = test::SolidBitmap(120, 90, 0xFFFFFF);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) alpha.SetPixel(x, y, 0);
  dir_.Write("a.bmp", EncodeBmp24(alpha));
  dir_.Write("skin.ini", "[SCREEN]\nAlpha=a.bmp\n" + SkinText.substr(SkinText.find('\n') + 1));
  const TPreviewSheet sheet = Sheet();
  ASSERT_EQ(sheet.Panels.size(), 7u);
  const int composited = 5, uncomposited = 6;
  const uint32_t light_square = 0xF4F4F4, frame_top_left = At(sheet, FirstShown, 2, 2);
  EXPECT_EQ(At(sheet, composited, 2, 2), light_square);
  EXPECT_EQ(At(sheet, uncomposited, 2, 2), frame_top_left);
  EXPECT_EQ(At(sheet, composited, 115, 5), Pattern(0).Pixel(115, 5));
  EXPECT_EQ(At(sheet, uncomposited, 115, 5), light_square);
}

TEST_F(SkinPreview, ListsWhatAScreenReaderAnnounces) {
  dir_.Write("skin.ini", SkinText + "[ACCESSIBILITY]\nwindow=Demo setup\nEXIT=Quit setup\n");
  const std::vector<std::string> expected = {
      "window: \"Demo setup\"",        "8: push button \"Install\"",
      "9: push button \"Quit setup\"",  "10: push button \"Deco\"",
      "11: label \"VersionCaption\", text \"2.5\", unavailable", "12: push button \"Dial\""};
  EXPECT_EQ(Sheet().Announcements, expected);
}

TEST(PngFile, KeepsPixelsAndAlpha) {
  TBitmap b(3, 2);
  const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
  for (int i = 0; i < 6; ++i) b.SetPixel(i % 3, i / 3, colours[i]);
  const std::vector<uint8_t> alpha = {255, 0, 128, 1, 254, 255};
  const std::vector<uint8_t> png = EncodePng(b, alpha);
  ASSERT_FALSE(png.empty());

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr));
  ASSERT_EQ(image.width, 3u);
  ASSERT_EQ(image.height, 2u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(uint32_t(rgba[4 * i]) << 16 | uint32_t(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2],
              colours[i]);
    EXPECT_EQ(rgba[4 * i + 3], alpha[size_t(i)]);
  }
  EXPECT_TRUE(EncodePng(b, {1, 2}).empty());  // alpha of the wrong size
}

}  // namespace
}  // namespace portico
