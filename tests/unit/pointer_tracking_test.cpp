#include <gtest/gtest.h>

#include "system/errors.h"
#include "skin/skin.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

constexpr uint32_t Normal = 0x808080, Over = 0x00FF00, Down = 0x0000FF;

std::vector<std::string> g_clicks;
TForm* g_close_on_click = nullptr;
void RecordClick(TSkin*, TSkinButton* b) {
  g_clicks.push_back(b->Name);
  if (g_close_on_click) g_close_on_click->Close();
}

// A 200 x 100 skin shown in a headless window; screen coordinates of frame
// point (x, y) are Screen(x, y).
class PointerTracking : public ::testing::Test {
 protected:
  void SetUp() override {
    g_clicks.clear();
    g_close_on_click = nullptr;
    dir_.Write("n.bmp", EncodeBmp24(SolidBitmap(200, 100, Normal)));
    dir_.Write("o.bmp", EncodeBmp24(SolidBitmap(200, 100, Over)));
    dir_.Write("d.bmp", EncodeBmp24(SolidBitmap(200, 100, Down)));
  }
  void Build(const std::string& buttons, TSkinButtonClick handler = RecordClick) {
    dir_.Write("s.ini", "[SCREEN]\nNormal=n.bmp\nOver=o.bmp\nDown=d.bmp\n[BUTTONPOS]\n" + buttons);
    form_ = std::make_unique<TForm>(&h_.app);
    form_->BorderStyle = TBorderStyle::bsNone;
    form_->Position = TPosition::poScreenCenter;
    form_->AutoSize = true;
    form_->AddControl(&image_);
    skin_ = std::make_unique<TSkin>(dir_.Path() + "/", "s.ini", 0, 0, form_.get(), &image_, handler);
    skin_->DrawAllButtons();
    form_->Show();
    h_.ws.SetForeground(form_->Handle());  // as a window manager grants a new window
    window_ = h_.ws.Find(form_->Handle());
  }
  void TearDown() override {
    skin_.reset();
    form_.reset();
  }
  TPoint Screen(int x, int y) const { return TPoint{form_->Left + x, form_->Top + y}; }
  void MoveTo(int x, int y) { h_.ws.MovePointer(Screen(x, y).X, Screen(x, y).Y); }
  // What the window shows at frame point (x, y).
  uint32_t Shown(int x, int y) const { return window_->Frame.Pixel(x, y); }
  TSkinButton* B(const char* name) { return skin_->FindButton(name); }
  bool TimerRunning() const { return skin_->TimerId != 0 && h_.app.ActiveTimers() == 1; }

  test::HeadlessApp h_;
  test::ScratchFolder dir_;
  TImage image_;
  std::unique_ptr<TForm> form_;
  std::unique_ptr<TSkin> skin_;
  HeadlessWindowSystem::Window* window_ = nullptr;
};

TEST_F(PointerTracking, HoverPressAndClickFollowTheTransitionTable) {
  Build("a=A,10,10,30,30\n");
  MoveTo(20, 20);
  EXPECT_TRUE(B("A")->Hover);
  EXPECT_EQ(Shown(20, 20), Over);
  EXPECT_EQ(Shown(100, 50), Normal);
  EXPECT_TRUE(TimerRunning());

  h_.ws.PressButton();
  EXPECT_TRUE(B("A")->Down && B("A")->Held);
  EXPECT_EQ(skin_->CaptureButton, B("A"));
  EXPECT_EQ(Shown(20, 20), Down);
  EXPECT_FALSE(TimerRunning());  // no polling while captured

  h_.ws.ReleaseButton();
  EXPECT_EQ(g_clicks, std::vector<std::string>{"A"});
  // The reset after a delivered click puts every control back to normal.
  EXPECT_FALSE(B("A")->Hover || B("A")->Down || B("A")->Held || B("A")->Clicked);
  EXPECT_EQ(skin_->CaptureButton, nullptr);
  EXPECT_EQ(Shown(20, 20), Normal);
  EXPECT_FALSE(TimerRunning());
  MoveTo(21, 21);
  EXPECT_EQ(Shown(20, 20), Over);
}

TEST_F(PointerTracking, ReleaseOutsideGivesNoClickAndComingBackGivesOne) {
  Build("a=A,10,10,30,30\n");
  MoveTo(20, 20);
  h_.ws.PressButton();
  MoveTo(100, 50);
  EXPECT_FALSE(B("A")->Down);
  EXPECT_TRUE(B("A")->Held);
  EXPECT_EQ(Shown(20, 20), Normal);
  h_.ws.ReleaseButton();
  EXPECT_TRUE(g_clicks.empty());
  EXPECT_EQ(skin_->CaptureButton, nullptr);
  EXPECT_FALSE(B("A")->Held);

  MoveTo(20, 20);
  h_.ws.PressButton();
  MoveTo(150, 90);
  MoveTo(21, 21);
  EXPECT_EQ(Shown(20, 20), Down);
  h_.ws.ReleaseButton();
  EXPECT_EQ(g_clicks, std::vector<std::string>{"A"});
}

TEST_F(PointerTracking, OverlappingControlsEarlierOneTakesTheCapture) {
  Build("a=A,10,10,40,40\nb=B,30,30,40,40\n");
  MoveTo(40, 40);
  EXPECT_TRUE(B("A")->Hover && B("B")->Hover);
  h_.ws.PressButton();
  EXPECT_TRUE(B("A")->Down && B("B")->Down);
  EXPECT_EQ(skin_->CaptureButton, B("A"));
  h_.ws.ReleaseButton();
  EXPECT_EQ(g_clicks, std::vector<std::string>{"A"});
  EXPECT_FALSE(B("B")->Down || B("B")->Hover || B("B")->Held);
  EXPECT_EQ(Shown(60, 60), Normal);
}

TEST_F(PointerTracking, TheControlGainedInOneStepIsDrawnAfterTheOneLeft) {
  // B comes first in the list; the two share the square (30..50, 30..50).
  Build("b=B,30,30,40,40\na=A,10,10,40,40\n");
  MoveTo(15, 15);  // on A alone
  ASSERT_TRUE(B("A")->Hover);
  MoveTo(65, 65);  // on B alone, in one step
  EXPECT_FALSE(B("A")->Hover);
  EXPECT_TRUE(B("B")->Hover);
  EXPECT_EQ(Shown(15, 15), Normal);
  EXPECT_EQ(Shown(65, 65), Over);
  EXPECT_EQ(Shown(40, 40), Over);  // the shared part shows the control under the pointer
}

TEST_F(PointerTracking, PressOnEmptySpaceDragsTheWindow) {
  Build("a=A,10,10,30,30\n");
  int left = form_->Left, top = form_->Top;
  MoveTo(150, 80);
  h_.ws.PressButton();
  EXPECT_TRUE(skin_->Dragging);
  h_.ws.MovePointer(Screen(150, 80).X + 25, Screen(150, 80).Y - 7);
  EXPECT_EQ(form_->Left, left + 25);
  EXPECT_EQ(form_->Top, top - 7);
  EXPECT_EQ(window_->Bounds.Left, left + 25);
  // The pointer keeps its place on the window while dragging: nothing
  // lights up, and the release ends the drag without a click.
  EXPECT_FALSE(B("A")->Hover);
  h_.ws.ReleaseButton();
  EXPECT_FALSE(skin_->Dragging);
  // A step with the button up lights the control under the pointer.
  skin_->HandlePointer(20, 20, false);
  EXPECT_TRUE(B("A")->Hover);
  EXPECT_TRUE(g_clicks.empty());
}

// XWayland hands presses on cut-away pixels to the window all the same.
TEST_F(PointerTracking, APressOnACutAwayPartNeitherDragsNorLightsNorClicks) {
  TTrackingState state;
  TTrackResult result;
  TPointerFacts facts;
  facts.Foreground = true;
  facts.ButtonDown = true;
  facts.OverWindow = false;
  facts.Cursor = TPoint{5, 5};
  TrackPointerStep(state, {}, facts, result);
  EXPECT_FALSE(state.Dragging);
  EXPECT_FALSE(result.DragStarted);

  Build("a=A,10,10,30,30\n");
  const std::vector<TRect> left_part{TRect{0, 0, 100, 100}};
  ASSERT_TRUE(SetWindowRgn(form_->Handle(), &left_part));
  skin_->HandlePointer(150, 80, true);
  EXPECT_FALSE(skin_->Dragging);
  skin_->HandlePointer(150, 80, false);
  const std::vector<TRect> ring{TRect{0, 0, 100, 15}, TRect{0, 15, 15, 100}};
  ASSERT_TRUE(SetWindowRgn(form_->Handle(), &ring));
  skin_->HandlePointer(20, 20, false);  // inside A, but cut away
  EXPECT_FALSE(B("A")->Hover);
  skin_->HandlePointer(20, 20, true);
  skin_->HandlePointer(20, 20, false);
  EXPECT_TRUE(g_clicks.empty());
  skin_->HandlePointer(12, 12, true);  // on the window: a press as ever
  EXPECT_TRUE(B("A")->Down);
}

TEST_F(PointerTracking, AQuickDragKeepsItsGripWhenMovesAreReportedLate) {
  Build("a=A,10,10,30,30\n");
  h_.ws.WaitEvents(0);  // the window manager reports where it placed the window
  const int left = form_->Left, top = form_->Top;
  MoveTo(150, 80);
  h_.ws.PressButton();
  const TPoint start = h_.ws.Pointer();
  for (int i = 1; i <= 12; ++i) {
    h_.ws.MovePointer(start.X + 25 * i, start.Y + 10 * i);
    // The window manager falls behind: it reports older positions now and then.
    if (i % 3 == 0) h_.ws.DeliverMoveReport();
  }
  EXPECT_EQ(form_->Left, left + 300);
  EXPECT_EQ(form_->Top, top + 120);
  h_.ws.ReleaseButton();
  h_.ws.WaitEvents(0);
  EXPECT_EQ(window_->Bounds, (TRect{left + 300, top + 120, left + 500, top + 220}));
  EXPECT_EQ(form_->Left, left + 300);
  // A move nobody asked for (the user through the window manager) is taken.
  h_.ws.MoveFromOutside(form_->Handle(), 40, 50);
  h_.ws.WaitEvents(0);
  EXPECT_EQ(form_->Left, 40);
  EXPECT_EQ(form_->Top, 50);
}

TEST_F(PointerTracking, LosingTheForegroundEndsADrag) {
  Build("a=A,10,10,30,30\n");
  const int left = form_->Left, top = form_->Top;
  MoveTo(150, 80);
  h_.ws.PressButton();
  const TPoint start = h_.ws.Pointer();
  h_.ws.MovePointer(start.X + 10, start.Y + 10);
  ASSERT_EQ(form_->Left, left + 10);
  h_.ws.SetForeground(HeadlessWindowSystem::ForeignWindow);
  // The button is still down; the pointer goes on moving.
  h_.ws.MovePointer(start.X + 50, start.Y + 40);
  h_.ws.MovePointer(start.X + 80, start.Y + 60);
  EXPECT_FALSE(skin_->Dragging);
  EXPECT_EQ(form_->Left, left + 10);
  EXPECT_EQ(form_->Top, top + 10);
}

TEST_F(PointerTracking, NothingHappensWhileAnotherWindowHasTheFocus) {
  Build("a=A,10,10,30,30\n");
  MoveTo(20, 20);
  EXPECT_TRUE(B("A")->Hover);
  h_.ws.SetForeground(HeadlessWindowSystem::ForeignWindow);
  // A move that arrives without the foreground clears lit controls and a
  // press starts no drag. (The headless press focuses the window, so send
  // the step directly.)
  skin_->HandlePointer(150, 80, true);
  EXPECT_FALSE(B("A")->Hover);
  EXPECT_FALSE(skin_->Dragging);
  skin_->HandlePointer(20, 20, true);
  EXPECT_FALSE(B("A")->Down);
}

TEST_F(PointerTracking, DisabledControlsAreTrackedButNeverClicked) {
  Build("a=A,10,10,30,30\n");
  skin_->SetButtonCaption("A", u"", 0, 8, -1, true);
  MoveTo(20, 20);
  h_.ws.PressButton();
  EXPECT_FALSE(skin_->Dragging);
  EXPECT_EQ(skin_->CaptureButton, B("A"));
  EXPECT_EQ(Shown(20, 20), Normal);  // drawn disabled whatever its flags
  h_.ws.ReleaseButton();
  EXPECT_TRUE(g_clicks.empty());
}

TEST_F(PointerTracking, WithoutAHandlerTheClickedControlStaysLit) {
  Build("a=A,10,10,30,30\n", nullptr);
  MoveTo(20, 20);
  h_.ws.PressButton();
  h_.ws.ReleaseButton();
  EXPECT_TRUE(B("A")->Hover);
  EXPECT_FALSE(B("A")->Clicked);
  EXPECT_EQ(Shown(20, 20), Over);
}

TEST_F(PointerTracking, AHandlerThatClosesTheFormLeavesTheSkinValid) {
  Build("a=A,10,10,30,30\n");
  h_.app.CreateForm(g_close_on_click);  // a main form for Close to end
  g_close_on_click = h_.app.MainForm();
  // Closing the main form only asks the application to end.
  MoveTo(20, 20);
  h_.ws.PressButton();
  h_.ws.ReleaseButton();
  EXPECT_TRUE(h_.app.Terminated());
  EXPECT_EQ(g_clicks.size(), 1u);
  EXPECT_FALSE(B("A")->Hover);
}

TEST_F(PointerTracking, SecondaryButtonIsHandledLikeAMove) {
  Build("a=A,10,10,30,30\n");
  MoveTo(20, 20);
  h_.ws.PressButton(3);
  EXPECT_FALSE(B("A")->Down);
  h_.ws.ReleaseButton(3);
  EXPECT_TRUE(g_clicks.empty());
  EXPECT_TRUE(B("A")->Hover);
}

TEST_F(PointerTracking, TimerResetsWhenThePointerLeaves) {
  Build("a=A,10,10,30,30\n");
  MoveTo(20, 20);
  test::AdvanceAndFire(h_, 100);
  EXPECT_TRUE(B("A")->Hover);  // still over the window: nothing changes
  EXPECT_TRUE(TimerRunning());
  h_.ws.MovePointer(5, 5);  // off the window, no event reaches us
  test::AdvanceAndFire(h_, 99);
  EXPECT_TRUE(B("A")->Hover);
  test::AdvanceAndFire(h_, 1);
  EXPECT_FALSE(B("A")->Hover);
  EXPECT_EQ(Shown(20, 20), Normal);
  EXPECT_FALSE(TimerRunning());
}

TEST_F(PointerTracking, ALeaveReportedWithTheLastPositionInsideReturnsTheControlToNormal) {
  Build("a=A,10,10,30,30\n");
  MoveTo(20, 20);
  ASSERT_TRUE(B("A")->Hover);
  // XWayland's leave: the coordinates are still those inside the control.
  h_.ws.ReportLeave(form_->Handle());
  EXPECT_FALSE(B("A")->Hover);
  EXPECT_EQ(Shown(20, 20), Normal);
  EXPECT_FALSE(TimerRunning());
}

// The window manager runs the drag when it offers to; Portico moves nothing
// itself then.
TEST_F(PointerTracking, ADragHandedToTheWindowManagerEndsWhereThePointerTookIt) {
  h_.ws.SetWindowManagerMoves(true);
  Build("a=A,10,10,30,30\n");
  h_.ws.WaitEvents(0);
  const int left = form_->Left, top = form_->Top;
  MoveTo(150, 80);
  h_.ws.PressButton();
  ASSERT_TRUE(skin_->Dragging);
  ASSERT_TRUE(skin_->DragByWindowManager);
  const TPoint start = h_.ws.Pointer();
  h_.ws.MovePointer(start.X + 40, start.Y + 30);
  h_.ws.ReleaseButton();  // kept by the window manager: no event reaches us
  h_.ws.WaitEvents(0);
  EXPECT_EQ(window_->Bounds.Left, left + 40);
  EXPECT_EQ(window_->Bounds.Top, top + 30);
  // The polling timer notices the release and ends the drag; no click.
  test::AdvanceAndFire(h_, 100);
  EXPECT_FALSE(skin_->Dragging);
  EXPECT_EQ(form_->Left, left + 40);
  EXPECT_EQ(form_->Top, top + 30);
  EXPECT_TRUE(g_clicks.empty());
}

// A leave carries no position: no control is hit-tested, not even one at 0,0.
TEST_F(PointerTracking, ALeaveLightsNoControlAtTheOrigin) {
  Build("z=Corner,0,0,20,20\na=A,50,10,30,30\n");
  MoveTo(60, 20);
  ASSERT_TRUE(B("A")->Hover);
  h_.ws.ReportLeave(form_->Handle());
  EXPECT_FALSE(B("A")->Hover);
  EXPECT_FALSE(B("Corner")->Hover);
  EXPECT_EQ(Shown(5, 5), Normal);
}

// Until the window manager gets to a handed-over move, pointer events still
// reach the window; a step for one must keep the poll that will find the
// release the window manager then keeps.
TEST_F(PointerTracking, AnEventBeforeTheWindowManagerTookTheDragKeepsThePollThatEndsIt) {
  h_.ws.SetWindowManagerMoves(true);
  h_.ws.SetWindowManagerLate(true);
  Build("a=A,10,10,30,30\n");
  h_.ws.WaitEvents(0);
  const int left = form_->Left, top = form_->Top;
  MoveTo(150, 80);
  h_.ws.PressButton();
  ASSERT_TRUE(skin_->DragByWindowManager);
  const TPoint start = h_.ws.Pointer();
  h_.ws.MovePointer(start.X + 2, start.Y + 1);  // reaches the window
  h_.ws.WaitEvents(0);                          // the window manager takes the pointer
  h_.ws.MovePointer(start.X + 40, start.Y + 30);
  h_.ws.ReleaseButton();
  test::AdvanceAndFire(h_, 100);
  EXPECT_FALSE(skin_->Dragging);
  EXPECT_EQ(window_->Bounds.Left, left + 40);
  EXPECT_EQ(window_->Bounds.Top, top + 30);
}

// Another program's grab is no leave: the lit control stays lit. While the
// grab lasts nothing reaches the window, and the poll alone finds the
// pointer on a cut-away part, which is outside.
TEST_F(PointerTracking, WhileAnotherProgramHoldsThePointerACutAwayPartIsOutside) {
  Build("a=A,10,10,30,30\nb=B,50,10,30,30\n");
  const std::vector<TRect> left_part{TRect{0, 0, 100, 100}};
  ASSERT_TRUE(SetWindowRgn(form_->Handle(), &left_part));
  MoveTo(20, 20);
  h_.ws.SetPointerGrabbedElsewhere(true);
  MoveTo(60, 20);  // over B: not ours to hear
  test::AdvanceAndFire(h_, 100);
  EXPECT_TRUE(B("A")->Hover);
  EXPECT_FALSE(B("B")->Hover);
  EXPECT_EQ(Shown(20, 20), Over);
  MoveTo(150, 50);
  test::AdvanceAndFire(h_, 100);
  EXPECT_FALSE(B("A")->Hover);
  EXPECT_EQ(Shown(20, 20), Normal);
  EXPECT_FALSE(TimerRunning());
}

TEST_F(PointerTracking, TimerResetsWhenFocusIsLostOrTheWindowIsCovered) {
  Build("a=A,10,10,30,30\n");
  MoveTo(20, 20);
  h_.ws.SetForeground(HeadlessWindowSystem::ForeignWindow);
  test::AdvanceAndFire(h_, 100);
  EXPECT_FALSE(B("A")->Hover);
  EXPECT_FALSE(TimerRunning());

  h_.ws.SetForeground(form_->Handle());
  MoveTo(21, 21);
  EXPECT_TRUE(B("A")->Hover);
  TPoint p = Screen(21, 21);
  h_.ws.SetCoveringWindow(TRect{p.X - 5, p.Y - 5, p.X + 5, p.Y + 5});
  test::AdvanceAndFire(h_, 100);
  EXPECT_FALSE(B("A")->Hover);
}

TEST_F(PointerTracking, TimerWaitsWhileTheButtonIsHeldOrThePointerUnreadable) {
  Build("a=A,10,10,30,30\n");
  MoveTo(20, 20);
  h_.ws.MovePointer(5, 5);
  h_.ws.SetButtonState(1, true);
  test::AdvanceAndFire(h_, 100);
  EXPECT_TRUE(B("A")->Hover);
  h_.ws.SetButtonState(1, false);
  h_.ws.SetCursorReadable(false);
  test::AdvanceAndFire(h_, 100);
  EXPECT_TRUE(B("A")->Hover);
  EXPECT_TRUE(TimerRunning());
  h_.ws.SetCursorReadable(true);
  test::AdvanceAndFire(h_, 100);
  EXPECT_FALSE(B("A")->Hover);
}

TEST_F(PointerTracking, UnreadablePointerDuringADragIsAnErrorShownByTheApplication) {
  Build("a=A,10,10,30,30\n");
  MoveTo(150, 80);
  h_.ws.SetCursorReadable(false);
  h_.ws.PressButton();
  ASSERT_EQ(h_.ws.Messages().size(), 1u);
  EXPECT_FALSE(skin_->Dragging);
}

// A quick drag ends where the pointer took it, whether Portico moved the
// window or handed the drag to a window manager that got to it only after
// the release (which then reached the window, not the window manager).
class QuickDrag : public PointerTracking, public ::testing::WithParamInterface<bool> {};

TEST_P(QuickDrag, EndsWhereThePointerTookIt) {
  const bool handed_over = GetParam();
  h_.ws.SetWindowManagerMoves(handed_over);
  h_.ws.SetWindowManagerLate(true);
  Build("a=A,10,10,30,30\n");
  h_.ws.WaitEvents(0);
  const int left = form_->Left, top = form_->Top;
  MoveTo(150, 80);
  h_.ws.PressButton();
  ASSERT_EQ(skin_->DragByWindowManager, handed_over);
  const TPoint start = h_.ws.Pointer();
  h_.ws.MovePointer(start.X + 30, start.Y + 10);
  h_.ws.ReleaseButton();
  EXPECT_FALSE(skin_->Dragging);
  EXPECT_EQ(window_->Bounds.Left, left + 30);
  EXPECT_EQ(window_->Bounds.Top, top + 10);
}

INSTANTIATE_TEST_SUITE_P(Drags, QuickDrag, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
  return std::string(info.param ? "TheWindowManagerCameTooLate" : "PorticoMovesTheWindow");
});

TEST_F(PointerTracking, RingsAndArcsReactOnlyWhereTheyAre) {
  Build("r=Ring,0,0,100,100,50,50,40,20\n");
  MoveTo(50, 50);  // the hole
  EXPECT_FALSE(B("Ring")->Hover);
  MoveTo(80, 50);
  EXPECT_TRUE(B("Ring")->Hover);
  MoveTo(95, 95);  // inside the bounds, outside the ring
  EXPECT_FALSE(B("Ring")->Hover);
}

}  // namespace
}  // namespace portico
