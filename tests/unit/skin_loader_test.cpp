#include <gtest/gtest.h>

#include "system/errors.h"
#include "skin/skin.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

class SkinLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("normal.bmp", EncodeBmp24(SolidBitmap(100, 80, 0xFFFFFF)));
    dir_.Write("over.bmp", EncodeBmp24(SolidBitmap(100, 80, 0x00FF00)));
  }
  std::unique_ptr<TSkin> Load(const std::string& ini, TForm* form = nullptr, TImage* image = nullptr) {
    dir_.Write("skin.ini", ini);
    return std::make_unique<TSkin>(dir_.Path() + "/", "skin.ini", 0, 0, form, image, nullptr);
  }
  test::HeadlessApp h_;
  test::ScratchFolder dir_;
};

TEST_F(SkinLoader, BuildsControlsInFileOrderAndSkipsBadLines) {
  auto skin = Load(
      "[SCREEN]\nNormal=normal.bmp\nOver=over.bmp\nMask=mask.bmp\n"
      "[BUTTONPOS]\n"
      "k1=Install,10,10,20,20\n"
      "k2=NameOnly\n"
      "k3=Short,1,2,3\n"
      "k4=,1,2,3,4\n"
      "k5=Zero,1,1,0,5\n"
      "k6=Negative,-5,-5,10,-1\n"
      "k7=Exit ,1,1,5,5\n"
      "k8=Ring,0,0,60,60,30,30,20,10\n"
      "k9=Flat,0,0,60,60,30,30,10,10,1,1,2,2\n"
      "k10=Offscreen,-10,-10,5,5\n"
      "k11=Wrap,2147483000,0,2000,5\n"
      "k12=\n"
      "k1=Install,0,0,1,1\n");
  std::vector<std::string> names;
  for (auto& b : skin->Buttons) names.push_back(b->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Install", "Exit ", "Ring", "Flat", "Offscreen", "Install"}));
  // The duplicate key repeats the first value: both controls exist, the
  // first is the one found.
  EXPECT_EQ(skin->FindButton("Install"), skin->Buttons[0].get());
  EXPECT_EQ(skin->FindButton("Exit"), nullptr);
  EXPECT_EQ(skin->FindButton("install"), nullptr);
  EXPECT_TRUE(skin->FindButton("Ring")->IsRing);
  EXPECT_FALSE(skin->FindButton("Flat")->IsRing);
  EXPECT_EQ(skin->MaskFile, dir_.Path() + "/mask.bmp");
  ASSERT_TRUE(skin->BitmapFrame);
  EXPECT_EQ(skin->BitmapFrame->Width(), 100);
  EXPECT_EQ(skin->BitmapFrame->Canvas.Font.Size, 8);
  EXPECT_EQ(skin->BitmapFrame->Canvas.Brush.Style, TBrushStyle::bsClear);
  EXPECT_FALSE(skin->BitmapDown);
  EXPECT_FALSE(skin->BitmapArrow);
}

TEST_F(SkinLoader, NoNormalImageMeansNoFrameAndNoControls) {
  TForm form(&h_.app);
  TImage image;
  form.AddControl(&image);
  auto skin = Load("[SCREEN]\nOver=over.bmp\n[BUTTONPOS]\na=Install,1,1,5,5\nb=Exit,1,1,5,5\n",
                   &form, &image);
  EXPECT_TRUE(skin->Buttons.empty());
  EXPECT_FALSE(skin->BitmapFrame);
  EXPECT_TRUE(skin->BitmapOver);
  EXPECT_FALSE(image.Picture()->HasGraphic());
  EXPECT_EQ(skin->MaskFile, "");
  // A missing description reads as empty.
  auto none = std::make_unique<TSkin>(dir_.Path() + "/", "missing.ini", 0, 0, nullptr, nullptr, nullptr);
  EXPECT_TRUE(none->Buttons.empty());
}

TEST_F(SkinLoader, CaptionColourIsTheInverseUnderTheCentre) {
  TBitmap normal = SolidBitmap(100, 80, 0xFFFFFF);
  normal.SetPixel(15, 15, 0x000000);
  normal.SetPixel(50, 40, 0x123456);
  dir_.Write("normal.bmp", EncodeBmp24(normal));
  auto skin = Load(
      "[SCREEN]\nNormal=normal.bmp\n[BUTTONPOS]\n"
      "a=OnBlack,10,10,11,11\nb=OnWhite,0,0,4,4\nc=Odd,49,39,3,3\n"
      "d=Outside,500,500,10,10\n");
  EXPECT_EQ(skin->FindButton("OnBlack")->TextColor, 0xFFFFFF);
  EXPECT_EQ(skin->FindButton("OnWhite")->TextColor, 0x000000);
  EXPECT_EQ(skin->FindButton("Odd")->TextColor, PixelToColor(0x123456) ^ 0xFFFFFF);
  // A centre outside the image takes the nearest pixel inside (white).
  EXPECT_EQ(skin->FindButton("Outside")->TextColor, 0x000000);
}

TEST_F(SkinLoader, SetButtonCaptionChangesOnlyTheFirstMatch) {
  auto skin = Load("[SCREEN]\nNormal=normal.bmp\n[BUTTONPOS]\na=V,1,1,5,5\nb=V,1,1,5,5\n");
  TColor sampled = skin->Buttons[0]->TextColor;
  skin->SetButtonCaption("V", u"1.0", 0, 10, -1, true);
  EXPECT_EQ(skin->Buttons[0]->Caption, u"1.0");
  EXPECT_EQ(skin->Buttons[0]->FontSize, 10);
  EXPECT_EQ(skin->Buttons[0]->TextColor, sampled);
  EXPECT_FALSE(skin->Buttons[0]->Enabled);
  EXPECT_TRUE(skin->Buttons[1]->Enabled);
  skin->SetButtonCaption("V", u"x", 1, 9, 0x0000FF, false);
  EXPECT_EQ(skin->Buttons[0]->TextColor, 0x0000FF);
  EXPECT_FALSE(skin->Buttons[0]->Enabled);  // nothing enables it again
  skin->SetButtonCaption("Missing", u"x", 0, 10, 0, true);
}

TEST_F(SkinLoader, CorruptImageRaisesTheImageErrorAndReleasesTheSkin) {
  dir_.Write("bad.bmp", "BM this is not a bitmap");
  TForm form(&h_.app);
  TImage image;
  form.AddControl(&image);
  try {
    Load("[SCREEN]\nNormal=bad.bmp\n[BUTTONPOS]\na=Install,1,1,5,5\n", &form, &image);
    FAIL() << "expected an image error";
  } catch (const EImageError& e) {
    EXPECT_NE(std::string(e.what()).find("bad.bmp"), std::string::npos);
  }
  EXPECT_FALSE(image.OnMouseMove);  // the failed skin let go of the events
}

TEST_F(SkinLoader, ImagesWithoutPixelsAreAbsentSilently) {
  auto write = [this](const std::string& name, const test::BmpSpec& spec) {
    const std::vector<uint8_t> bytes = test::BuildBmp(spec);
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
  };
  write("no_width.bmp", {.Width = 0, .Height = 80});
  write("no_height.bmp", {.Width = 100, .Height = 0, .BitsPerPixel = 8, .Palette = {0}});
  write("no_size_os2.bmp", {.Width = 0, .Height = 0, .HeaderSize = 12});
  auto skin = Load(
      "[SCREEN]\nNormal=normal.bmp\nOver=no_width.bmp\nDown=no_height.bmp\nDisable=no_size_os2.bmp\n"
      "[BUTTONPOS]\na=A,1,1,5,5\n");
  EXPECT_TRUE(skin->BitmapNormal);
  EXPECT_FALSE(skin->BitmapOver);
  EXPECT_FALSE(skin->BitmapDown);
  EXPECT_FALSE(skin->BitmapDisable);
  // Without pixels in the normal image there is no frame, as without the file.
  auto bare = Load("[SCREEN]\nNormal=no_width.bmp\n[BUTTONPOS]\na=A,1,1,5,5\n");
  EXPECT_FALSE(bare->BitmapFrame);
  EXPECT_TRUE(bare->Buttons.empty());
}

TEST_F(SkinLoader, ImagesLoadByContentWhateverTheirNames) {
  // A bitmap named like a JPEG, an upper-case extension, no extension, a
  // folder, and names written on Windows.
  dir_.Write("looks.jpg", EncodeBmp24(SolidBitmap(100, 80, 0x0000FF)));
  dir_.Write("Down.BMP", EncodeBmp24(SolidBitmap(100, 80, 0x00FF00)));
  dir_.Write("plain", EncodeBmp24(SolidBitmap(100, 80, 0x00FF00)));
  std::filesystem::create_directories(dir_.File("sub/Images"));
  dir_.Write("sub/Images/Disable.bmp", EncodeBmp24(SolidBitmap(100, 80, 0x00FF00)));
  std::filesystem::create_directories(dir_.File("folder.bmp"));
  auto skin = Load(
      "[SCREEN]\nNormal=looks.jpg\nOver=folder.bmp\nDown=down.bmp\nDisable=SUB\\images\\disable.bmp\n"
      "[BUTTONPOS]\na=A,1,1,5,5\n");
  ASSERT_TRUE(skin->BitmapNormal);
  EXPECT_EQ(skin->BitmapNormal->Pixel(0, 0), 0x0000FFu);
  EXPECT_FALSE(skin->BitmapOver);
  EXPECT_TRUE(skin->BitmapDown);
  EXPECT_TRUE(skin->BitmapDisable);
  dir_.Write("skin2.ini", "[SCREEN]\nNormal=plain\n");
  TSkin plain(dir_.Path() + "/", "skin2.ini", 0, 0, nullptr, nullptr, nullptr);
  EXPECT_TRUE(plain.BitmapNormal);
}

// Image names are always taken inside the skin folder: a rooted one names no file.
TEST_F(SkinLoader, AnImageNamedByItsRootedPathLoadsNothing) {
  auto skin = Load("[SCREEN]\nNormal=" + dir_.File("normal.bmp") + "\n[BUTTONPOS]\na=A,1,1,5,5\n");
  EXPECT_FALSE(skin->BitmapNormal);
}

TEST_F(SkinLoader, HostImageShowsTheFrameAtTheGivenPosition) {
  TForm form(&h_.app);
  TImage image;
  image.SetBounds(16, 16, 209, 273);
  form.AddControl(&image);
  auto skin = Load("[SCREEN]\nNormal=normal.bmp\n[BUTTONPOS]\na=A,1,1,5,5\n", &form, &image);
  EXPECT_EQ(image.Left, 0);
  EXPECT_EQ(image.Top, 0);
  EXPECT_EQ(image.Width, 100);
  EXPECT_EQ(image.Height, 80);
  EXPECT_TRUE(image.OnMouseDown);
  EXPECT_TRUE(form.DoubleBuffered);
  EXPECT_NE(skin->TimerWindow, 0u);
  skin.reset();
  EXPECT_FALSE(image.OnMouseDown);
  EXPECT_TRUE(image.Picture()->HasGraphic());  // the picture keeps its copy
}

}  // namespace
}  // namespace portico
