#include <gtest/gtest.h>

#include "skin/skin.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

constexpr uint32_t Normal = 0x808080, Over = 0x00FF00, Down = 0x0000FF, Disabled = 0x404040;

class Compositing : public ::testing::Test {
 protected:
  std::unique_ptr<TSkin> Load(const std::string& screen, const std::string& buttons) {
    dir_.Write("n.bmp", EncodeBmp24(SolidBitmap(100, 60, Normal)));
    dir_.Write("o.bmp", EncodeBmp24(SolidBitmap(100, 60, Over)));
    dir_.Write("d.bmp", EncodeBmp24(SolidBitmap(100, 60, Down)));
    dir_.Write("x.bmp", EncodeBmp24(SolidBitmap(100, 60, Disabled)));
    dir_.Write("small.bmp", EncodeBmp24(SolidBitmap(30, 20, Over)));
    dir_.Write("s.ini", "[SCREEN]\n" + screen + "[BUTTONPOS]\n" + buttons);
    form_.AutoSize = true;
    form_.AddControl(&image_);
    auto skin = std::make_unique<TSkin>(dir_.Path() + "/", "s.ini", 0, 0, &form_, &image_, nullptr);
    form_.Show();
    presents_ = &h_.ws.Find(form_.Handle())->Presents;
    presents_->clear();
    return skin;
  }
  uint32_t FrameAt(const TSkin& s, int x, int y) { return s.BitmapFrame->Pixel(x, y); }

  test::HeadlessApp h_;
  test::ScratchFolder dir_;
  TForm form_{&h_.app};
  TImage image_;
  std::vector<std::vector<TRect>>* presents_ = nullptr;
};

TEST_F(Compositing, StateImageFollowsEnabledHoverAndDown) {
  auto s = Load("Normal=n.bmp\nOver=o.bmp\nDown=d.bmp\nDisable=x.bmp\n", "a=A,0,0,10,10\n");
  TSkinButton* b = s->Buttons[0].get();
  EXPECT_EQ(s->StateBitmap(b), s->BitmapNormal.get());
  b->Down = true;  // pressed look needs the pointer over it too
  EXPECT_EQ(s->StateBitmap(b), s->BitmapNormal.get());
  b->Hover = true;
  EXPECT_EQ(s->StateBitmap(b), s->BitmapDown.get());
  b->Down = false;
  EXPECT_EQ(s->StateBitmap(b), s->BitmapOver.get());
  b->Enabled = false;
  EXPECT_EQ(s->StateBitmap(b), s->BitmapDisable.get());
  s->BitmapDisable.reset();
  EXPECT_EQ(s->StateBitmap(b), s->BitmapNormal.get());
}

TEST_F(Compositing, AbsentStateImageKeepsPixelsButStillCountsAsChanged) {
  auto s = Load("Normal=n.bmp\n", "a=A,0,0,10,10\n");
  TSkinButton* b = s->Buttons[0].get();
  b->Hover = true;
  EXPECT_EQ(s->StateBitmap(b), nullptr);
  s->DrawButton(b);
  EXPECT_TRUE(s->FrameChanged);
  EXPECT_EQ(FrameAt(*s, 5, 5), Normal);
}

TEST_F(Compositing, HandOverOnlyAfterDrawingAndOnlyOnce) {
  auto s = Load("Normal=n.bmp\nOver=o.bmp\n", "a=A,10,10,20,20\n");
  s->ShowFrame(false);
  EXPECT_TRUE(presents_->empty());
  TSkinButton* b = s->Buttons[0].get();
  b->Hover = true;
  s->DrawButton(b);
  s->DrawButton(b);
  EXPECT_TRUE(presents_->empty());  // drawing alone never hands over
  s->ShowFrame(false);
  s->ShowFrame(false);
  ASSERT_EQ(presents_->size(), 1u);
  // Only the control's rectangle travels to the window.
  EXPECT_EQ((*presents_)[0], (std::vector<TRect>{TRect{10, 10, 30, 30}}));
  EXPECT_EQ(h_.ws.Find(form_.Handle())->Frame.Pixel(15, 15), Over);
  EXPECT_FALSE(s->FrameChanged);
}

TEST_F(Compositing, DrawAllButtonsHandsOverEvenWithoutControls) {
  auto s = Load("Normal=n.bmp\n", "");
  s->DrawAllButtons();
  EXPECT_EQ(presents_->size(), 1u);
}

TEST_F(Compositing, LaterControlWinsWhereControlsOverlap) {
  auto s = Load("Normal=n.bmp\nOver=o.bmp\nDown=d.bmp\n", "a=A,0,0,20,20\nb=B,10,10,20,20\n");
  s->Buttons[0]->Hover = true;
  s->Buttons[1]->Hover = true;
  s->Buttons[1]->Down = true;
  s->DrawAllButtons();
  EXPECT_EQ(FrameAt(*s, 5, 5), Over);
  EXPECT_EQ(FrameAt(*s, 15, 15), Down);
  s->DrawButton(s->Buttons[0].get());
  EXPECT_EQ(FrameAt(*s, 15, 15), Over);
}

TEST_F(Compositing, CopiesAreClippedToTheFrameAndToASmallerSource) {
  auto s = Load("Normal=n.bmp\nOver=small.bmp\n",
                "a=A,20,10,50,40\nb=Edge,90,50,1000,1000\nc=Far,-2147483648,-2147483648,2147483647,2147483647\n");
  for (auto& b : s->Buttons) b->Hover = true;
  s->DrawAllButtons();
  EXPECT_EQ(FrameAt(*s, 25, 15), Over);    // inside the small source
  EXPECT_EQ(FrameAt(*s, 40, 15), Normal);  // beyond its width: left alone
  EXPECT_EQ(FrameAt(*s, 95, 55), Normal);
  EXPECT_EQ(s->BitmapFrame->Width(), 100);
}

TEST_F(Compositing, KeepingOnlyWhatIsDrawnChangesNoLook) {
  // Images whose every pixel differs, and controls that overlap, reach past
  // the frame and sit on its edges.
  auto gradient = [](uint32_t seed) {
    TBitmap b(100, 60);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) b.SetPixel(x, y, (seed * 0x9E3779B1u ^ uint32_t(x * 131 + y * 7919)) & 0xFFFFFF);
    return b;
  };
  const char* buttons = "a=A,0,0,20,20\nb=B,10,10,20,20\nc=C,90,50,30,30\nd=D,40,0,1,60\ne=E,-5,30,10,5\n";
  // Kept whole; released afterwards; only what is drawn from the start.
  enum Keeping { Whole, ReleasedAfter, FromTheStart };
  auto draw_every_look = [&](Keeping keeping, int scale) {
    test::HeadlessApp h;
    test::ScratchFolder dir;
    const char* names[] = {"n.bmp", "o.bmp", "d.bmp", "x.bmp"};
    for (uint32_t i = 0; i < 4; ++i) dir.Write(names[i], EncodeBmp24(gradient(i + 1)));
    dir.Write("s.ini", std::string("[SCREEN]\nNormal=n.bmp\nOver=o.bmp\nDown=d.bmp\nDisable=x.bmp\n") +
                           "[BUTTONPOS]\n" + buttons);
    TSkin skin(dir.Path() + "/", "s.ini", 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, scale,
               keeping == FromTheStart ? TSkinPixels::OnlyDrawn : TSkinPixels::KeptWhole);
    if (keeping == ReleasedAfter) skin.ReleaseUnusedPixels();
    const size_t size = size_t(100 * scale) * size_t(60 * scale);
    std::vector<uint32_t> frames(skin.BitmapFrame->Data(), skin.BitmapFrame->Data() + size);
    for (auto& b : skin.Buttons) {
      for (int look = 0; look < 4; ++look) {
        b->Hover = look >= 1;
        b->Down = look == 2;
        b->Enabled = look != 3;
        skin.DrawButton(b.get());
        frames.insert(frames.end(), skin.BitmapFrame->Data(), skin.BitmapFrame->Data() + size);
      }
    }
    return frames;
  };
  for (int scale : {1, 2}) {
    const std::vector<uint32_t> whole = draw_every_look(Whole, scale);
    EXPECT_EQ(draw_every_look(ReleasedAfter, scale), whole) << "scale " << scale;
    EXPECT_EQ(draw_every_look(FromTheStart, scale), whole) << "scale " << scale;
  }
}

}  // namespace
}  // namespace portico
