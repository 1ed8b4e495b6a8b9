#include <gtest/gtest.h>

#include <filesystem>

#include "app/unit_install.h"
#include "graphics/bitmap_scale.h"
#include "classlib/params.h"
#include "skin/scaled_image.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

constexpr uint32_t Grey = 0x808080, Green = 0x00FF00, DarkGrey = 0x404040, DarkGreen = 0x00A000;

TBitmap MaskCuttingTopRows(int width, int height, int rows) {
  TBitmap mask = SolidBitmap(width, height, 0x000000);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < width; ++x) mask.SetPixel(x, y, 0xFFFFFF);
  return mask;
}

// Which images drawn for scale 2 lie beside the 1x ones.
enum class TDrawnAt2x { None, RightSize, WrongSize };

// The launcher on a desktop at scale 2 (192 dpi), in a scratch folder.
class ScreenScale : public ::testing::TestWithParam<TDrawnAt2x> {
 protected:
  void SetUp() override {
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    dir_.Write("n.bmp", EncodeBmp24(SolidBitmap(120, 110, Grey)));
    dir_.Write("o.bmp", EncodeBmp24(SolidBitmap(120, 110, Green)));
    dir_.Write("m.bmp", EncodeBmp24(MaskCuttingTopRows(120, 110, 1)));
    dir_.Write("skin.ini",
               "[SCREEN]\nNormal=n.bmp\nOver=o.bmp\nDown=o.bmp\nMask=m.bmp\n"
               "[BUTTONPOS]\n1=Install,10,10,40,20\n2=Exit,60,10,40,20\n3=VersionCaption,0,80,120,30\n");
    if (GetParam() == TDrawnAt2x::RightSize) {
      dir_.Write("n@2x.bmp", EncodeBmp24(SolidBitmap(240, 220, DarkGrey)));
      dir_.Write("o@2x.bmp", EncodeBmp24(SolidBitmap(240, 220, DarkGreen)));
      dir_.Write("m@2x.bmp", EncodeBmp24(MaskCuttingTopRows(240, 220, 3)));
    } else if (GetParam() == TDrawnAt2x::WrongSize) {
      dir_.Write("n@2x.bmp", EncodeBmp24(SolidBitmap(240, 221, DarkGrey)));
      dir_.Write("m@2x.bmp", EncodeBmp24(MaskCuttingTopRows(100, 100, 3)));
    }
    h_.ws.SetScaleFactor(2);
    SetCommandLine({"portico", "skin.ini", "1"});
    h_.app.CreateForm(FormInstall);
    ASSERT_NE(Skin, nullptr);
    FormInstall->Show();
    h_.ws.SetForeground(FormInstall->Handle());
    window_ = h_.ws.Find(FormInstall->Handle());
  }
  void TearDown() override {
    h_.app.DestroyForms();
    FormInstall = nullptr;
    std::filesystem::current_path(old_cwd_);
  }
  bool Drawn2x() const { return GetParam() == TDrawnAt2x::RightSize; }
  void MoveTo(int x, int y) { h_.ws.MovePointer(FormInstall->Left + x, FormInstall->Top + y); }

  test::ScratchFolder dir_;
  std::filesystem::path old_cwd_;
  test::HeadlessApp h_;
  HeadlessWindowSystem::Window* window_ = nullptr;
};

TEST_P(ScreenScale, TheWindowIsTwiceTheSizeAndControlsAnswerAtTwiceTheirPlace) {
  EXPECT_EQ(window_->Bounds, (TRect{840, 430, 1080, 650}));  // 240 x 220, centred on 1920 x 1080
  const uint32_t normal = Drawn2x() ? DarkGrey : Grey, over = Drawn2x() ? DarkGreen : Green;
  EXPECT_EQ(window_->Frame.Pixel(30, 30), normal);
  // The mask drawn at 2x cuts its own rows; the 1x one is enlarged.
  ASSERT_TRUE(window_->Shape.has_value());
  EXPECT_EQ(window_->Shape->front().Top, Drawn2x() ? 3 : 2);

  MoveTo(2 * 49 + 1, 2 * 29 + 1);  // the last pixel block of Install
  EXPECT_EQ(window_->Frame.Pixel(20, 20), over);
  EXPECT_EQ(window_->Frame.Pixel(2 * 50, 2 * 10), normal);  // Install ends here
  MoveTo(2 * 55, 2 * 20);
  EXPECT_EQ(window_->Frame.Pixel(20, 20), normal);

  MoveTo(2 * 80, 2 * 20);  // Exit
  h_.ws.PressButton();
  h_.ws.ReleaseButton();
  EXPECT_EQ(FormInstall->ModalResult, mrNo);
}

TEST_P(ScreenScale, MovingToAMonitorOfAnotherScaleMakesTheWindowAgainThere) {
  h_.ws.ChangeScale(FormInstall->Handle(), 1, TRect{2000, 100, 2240, 320});
  EXPECT_EQ(window_->Bounds, (TRect{2000, 100, 2120, 210}));
  EXPECT_EQ(window_->Frame.Pixel(30, 30), Grey);
  h_.ws.ChangeScale(FormInstall->Handle(), 2, TRect{0, 0, 120, 110});
  EXPECT_EQ(window_->Bounds, (TRect{0, 0, 240, 220}));
  EXPECT_EQ(window_->Frame.Pixel(30, 30), Drawn2x() ? DarkGrey : Grey);
  MoveTo(2 * 80, 2 * 20);  // Exit
  h_.ws.PressButton();
  h_.ws.ReleaseButton();
  EXPECT_EQ(FormInstall->ModalResult, mrNo);
}

INSTANTIATE_TEST_SUITE_P(Images, ScreenScale,
                         testing::Values(TDrawnAt2x::None, TDrawnAt2x::RightSize, TDrawnAt2x::WrongSize));

// Every enlarged pixel is its source pixel (black where a sparse source
// kept nothing), whatever the source keeps and the result is asked to keep.
TEST(EnlargeBitmap, RepeatsEachPixelIntoItsBlock) {
  TBitmap whole(13, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) whole.SetPixel(x, y, uint32_t(y * 100 + x + 1));
  TBitmap sparse;
  sparse.Assign(whole);
  sparse.KeepOnly({TRect{2, 1, 6, 4}, TRect{9, 0, 12, 7}});
  const std::vector<TRect> keep{TRect{3, 1, 20, 9}, TRect{0, 10, 39, 11}, TRect{25, 0, 26, 21}};
  for (const TBitmap* source : {&whole, &sparse})
    for (int k : {1, 2, 3})
      for (const std::vector<TRect>* kept : {static_cast<const std::vector<TRect>*>(nullptr), &keep}) {
        SCOPED_TRACE(testing::Message() << "sparse " << source->Sparse() << " k " << k << " kept " << !!kept);
        const TBitmap big = EnlargeBitmap(*source, k, kept);
        ASSERT_EQ(big.Width(), 13 * k);
        ASSERT_EQ(big.Height(), 7 * k);
        for (int y = 0; y < big.Height(); ++y)
          for (int x = 0; x < big.Width(); ++x) {
            bool in_kept = !kept;
            if (kept)
              for (const TRect& r : *kept) in_kept |= r.Contains(x, y);
            ASSERT_EQ(big.Pixel(x, y), in_kept ? source->Pixel(x / k, y / k) : 0u) << x << "," << y;
          }
      }
}

TEST(ScaledImagePath, PutsTheScaleBeforeTheExtension) {
  EXPECT_EQ(ScaledImagePath("skins/a.b/normal.bmp", 2), "skins/a.b/normal@2x.bmp");
  EXPECT_EQ(ScaledImagePath("skins/a.b/normal", 3), "skins/a.b/normal@3x");
  EXPECT_EQ(ScaledImagePath(".hidden", 2), ".hidden@2x");
}

}  // namespace
}  // namespace portico
