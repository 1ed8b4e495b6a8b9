// The keyboard's part of the pointer step: Tab order, the lit state it
// shares with the pointer, Enter and Space, the poll, and what the
// accessibility service is told.
#include <gtest/gtest.h>

#include "app/unit_install.h"
#include "classlib/params.h"
#include "skin/skin.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

constexpr uint32_t Normal = 0x808080, Over = 0x00FF00, Down = 0x0000FF;

std::vector<std::string> g_clicks;
void RecordClick(TSkin*, TSkinButton* b) { g_clicks.push_back(b->Name); }

// A, B (disabled) and C side by side in a 200 x 100 skin, shown with the
// foreground; the pointer rests off the window.
class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    g_clicks.clear();
    dir_.Write("n.bmp", EncodeBmp24(SolidBitmap(200, 100, Normal)));
    dir_.Write("o.bmp", EncodeBmp24(SolidBitmap(200, 100, Over)));
    dir_.Write("d.bmp", EncodeBmp24(SolidBitmap(200, 100, Down)));
    dir_.Write("s.ini", "[SCREEN]\nNormal=n.bmp\nOver=o.bmp\nDown=d.bmp\n[BUTTONPOS]\n"
                        "a=A,10,10,30,30\nb=B,60,10,30,30\nc=C,110,10,30,30\n");
    form_ = std::make_unique<TForm>(&h_.app);
    form_->BorderStyle = TBorderStyle::bsNone;
    form_->AutoSize = true;
    form_->AddControl(&image_);
    // Keys reach the skin as the launcher's form hands them on.
    form_->KeyPreview = true;
    form_->OnKeyDown = [this](TObject*, uint16_t& k, TShiftState s) { skin_->KeyDown(VirtualKey(k), s & ssShift); };
    form_->OnKeyUp = [this](TObject*, uint16_t& k, TShiftState s) { skin_->KeyUp(VirtualKey(k), s & ssShift); };
    skin_ = std::make_unique<TSkin>(dir_.Path() + "/", "s.ini", 0, 0, form_.get(), &image_, RecordClick);
    skin_->SetButtonCaption("B", u"", 0, 8, -1, true);
    skin_->DrawAllButtons();
    form_->Show();
    h_.ws.SetForeground(form_->Handle());
    window_ = h_.ws.Find(form_->Handle());
  }
  void TearDown() override {
    skin_.reset();
    form_.reset();
  }
  void Key(VirtualKey k, bool shift = false) { h_.ws.TypeKey(k, shift); }
  void MoveTo(int x, int y) { h_.ws.MovePointer(form_->Left + x, form_->Top + y); }
  // Which controls show their Over look ("A", "C", ...), and Down ones in brackets.
  std::string Lit() const {
    std::string lit;
    for (auto [name, x] : {std::pair{"A", 20}, {"B", 70}, {"C", 120}}) {
      const uint32_t p = window_->Frame.Pixel(x, 20);
      if (p == Over) lit += name;
      if (p == Down) lit += std::string("[") + name + "]";
    }
    return lit;
  }

  test::HeadlessApp h_;
  test::ScratchFolder dir_;
  TImage image_;
  std::unique_ptr<TForm> form_;
  std::unique_ptr<TSkin> skin_;
  HeadlessWindowSystem::Window* window_ = nullptr;
};

TEST_F(Keyboard, TabGoesThroughTheEnabledControlsInOrderAndWraps) {
  EXPECT_EQ(Lit(), "");  // nothing differs before the first key
  EXPECT_EQ(skin_->FocusIndex(), -1);
  std::string order;
  for (int i = 0; i < 4; ++i) {
    Key(VirtualKey::Tab);
    order += Lit() + " ";
  }
  EXPECT_EQ(order, "A C A C ");  // the disabled B is never focused
}

TEST_F(Keyboard, ShiftTabAndTheArrowsGoBothWays) {
  Key(VirtualKey::Tab, true);
  EXPECT_EQ(Lit(), "C");  // from none, the last
  Key(VirtualKey::Left);
  EXPECT_EQ(Lit(), "A");
  Key(VirtualKey::Up);
  EXPECT_EQ(Lit(), "C");
  Key(VirtualKey::Right);
  EXPECT_EQ(Lit(), "A");
  Key(VirtualKey::Down);
  EXPECT_EQ(Lit(), "C");
}

class KeyboardPress : public Keyboard, public ::testing::WithParamInterface<VirtualKey> {};

TEST_P(KeyboardPress, ShowsTheDownLookWhileHeldAndClicksOnRelease) {
  Key(VirtualKey::Tab);
  h_.ws.KeyDown(GetParam());
  h_.ws.KeyDown(GetParam());  // repeating
  EXPECT_EQ(Lit(), "[A]");
  EXPECT_TRUE(g_clicks.empty());
  h_.ws.KeyUp(GetParam());
  EXPECT_EQ(g_clicks, std::vector<std::string>{"A"});
  // The click's reset: normal until the next key or pointer move.
  EXPECT_EQ(Lit(), "");
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardPress, ::testing::Values(VirtualKey::Return, VirtualKey::Space),
                         [](const ::testing::TestParamInfo<VirtualKey>& info) {
                           return std::string(info.param == VirtualKey::Return ? "Enter" : "Space");
                         });

TEST_F(Keyboard, APointerOnAnotherControlTakesTheLitStateBack) {
  MoveTo(20, 20);
  EXPECT_EQ(Lit(), "A");
  Key(VirtualKey::Tab);
  Key(VirtualKey::Tab);
  EXPECT_EQ(Lit(), "C");  // one lit control: the keyboard's
  MoveTo(150, 80);         // the background: the keyboard keeps it
  EXPECT_EQ(Lit(), "C");
  MoveTo(70, 20);  // the disabled B cannot take it
  EXPECT_EQ(Lit(), "C");
  MoveTo(21, 21);
  EXPECT_EQ(Lit(), "A");
  EXPECT_EQ(skin_->FocusIndex(), 2);
}

TEST_F(Keyboard, ThePollTurnsTheKeyboardsControlNormalWhenTheForegroundGoesOrItIsCovered) {
  Key(VirtualKey::Tab);
  test::AdvanceAndFire(h_, 300);  // the pointer is off the window: no matter
  EXPECT_EQ(Lit(), "A");
  const TPoint a{form_->Left + 25, form_->Top + 25};
  h_.ws.SetCoveringWindow(TRect{a.X - 5, a.Y - 5, a.X + 5, a.Y + 5});
  test::AdvanceAndFire(h_, 100);
  EXPECT_EQ(Lit(), "");
  h_.ws.SetCoveringWindow(std::nullopt);
  Key(VirtualKey::Tab);
  EXPECT_EQ(Lit(), "C");
  h_.ws.SetForeground(HeadlessWindowSystem::ForeignWindow);
  test::AdvanceAndFire(h_, 100);
  EXPECT_EQ(Lit(), "");
  EXPECT_EQ(skin_->TimerId, 0u);
}

TEST_F(Keyboard, AClickAskedForWhileAKeyHoldsTheControlIsDeliveredOnce) {
  Key(VirtualKey::Tab);
  h_.ws.KeyDown(VirtualKey::Return);
  EXPECT_TRUE(skin_->InvokeButton(0));
  h_.ws.KeyUp(VirtualKey::Return);
  EXPECT_EQ(g_clicks, std::vector<std::string>{"A"});
  EXPECT_FALSE(skin_->InvokeButton(1));  // disabled
  EXPECT_EQ(g_clicks.size(), 1u);
}

// The launcher tells its accessibility service when Tab moves the focus.
class FakeService : public TAccessibilityService {
 public:
  static inline int Focus = 0;
  static inline TAccessibleWindow* Window = nullptr;
  void FocusChanged() override { ++Focus; }
  void ActiveChanged() override {}
  void BoundsChanged() override {}
};

TEST(KeyboardAccessibility, TheServiceHearsOfEachFocusMove) {
  test::ScratchFolder dir;
  const auto old_cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  dir.Write("n.bmp", EncodeBmp24(SolidBitmap(120, 60, Normal)));
  dir.Write("skin.ini", "[SCREEN]\nNormal=n.bmp\n[BUTTONPOS]\n1=Install,10,10,40,20\n2=Exit,60,10,40,20\n"
                        "3=VersionCaption,0,40,120,20\n[accessibility]\nexit=Quit setup\n");
  FakeService::Focus = 0;
  FakeService::Window = nullptr;
  AccessibilityStarter = [](TAccessibleWindow& window, WindowSystem&) -> std::unique_ptr<TAccessibilityService> {
    FakeService::Window = &window;
    return std::make_unique<FakeService>();
  };
  test::HeadlessApp h;
  h.ws.SetFocusOnShow(true);
  SetCommandLine({"portico", "skin.ini", "2.0"});
  std::vector<int> focus;
  h.ws.Schedule(h.ws.NowMs() + 100, [&] {
    ASSERT_NE(FakeService::Window, nullptr);
    EXPECT_EQ(FakeService::Window->Name(), "skin");
    EXPECT_EQ(FakeService::Window->Control(1).Name, "Quit setup");
    EXPECT_EQ(FakeService::Window->Control(2).Text, "2.0");
    for (int i = 0; i < 3; ++i) {
      h.ws.TypeKey(VirtualKey::Tab);
      focus.push_back(FakeService::Window->FocusedControl());
    }
    h.ws.TypeKey(VirtualKey::Tab, true);
    focus.push_back(FakeService::Window->FocusedControl());
    EXPECT_EQ(FakeService::Focus, 4);
    h.ws.TypeKey(VirtualKey::Return);  // on Exit
  });
  EXPECT_EQ(RunPortico(h.app), 1);
  EXPECT_EQ(focus, (std::vector<int>{0, 1, 0, 1}));
  AccessibilityStarter = &StartAccessibility;
  std::filesystem::current_path(old_cwd);
}

}  // namespace
}  // namespace portico
