#include <gtest/gtest.h>

#include <stdexcept>

#include "classlib/application.h"
#include "system/errors.h"
#include "skin_fixture.h"

namespace portico {
namespace {

TEST(Application, TimersFireOnTheirIntervalAndStopWhenKilled) {
  test::HeadlessApp h;
  int ticks = 0;
  WindowHandle w = h.app.AllocateHWnd([&](TMessage& m) { ticks += m.Msg == MsgTimer && m.WParam == 1; });
  EXPECT_EQ(h.app.SetTimer(w, 1, 100), 1u);
  EXPECT_EQ(h.app.FireDueTimers(), 100);  // milliseconds until the next tick
  test::AdvanceAndFire(h, 99);
  EXPECT_EQ(ticks, 0);
  test::AdvanceAndFire(h, 1);
  EXPECT_EQ(ticks, 1);
  // Setting it again restarts the interval.
  test::AdvanceAndFire(h, 50);
  h.app.SetTimer(w, 1, 100);
  test::AdvanceAndFire(h, 60);
  EXPECT_EQ(ticks, 1);
  test::AdvanceAndFire(h, 40);
  EXPECT_EQ(ticks, 2);
  EXPECT_TRUE(h.app.KillTimer(w, 1));
  EXPECT_EQ(h.app.FireDueTimers(), -1);  // nothing to wait for
  test::AdvanceAndFire(h, 1000);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(h.app.SetTimer(0xBAD, 1, 100), 0u);  // no such window
}

TEST(Application, AHandlerMayKillItsTimerOrFreeItsWindow) {
  test::HeadlessApp h;
  int ticks = 0;
  WindowHandle w = 0;
  w = h.app.AllocateHWnd([&](TMessage&) {
    ++ticks;
    h.app.DeallocateHWnd(w);
  });
  WindowHandle other = h.app.AllocateHWnd([&](TMessage&) { ++ticks; });
  h.app.SetTimer(w, 1, 10);
  h.app.SetTimer(other, 1, 10);
  test::AdvanceAndFire(h, 10);
  test::AdvanceAndFire(h, 10);
  EXPECT_EQ(ticks, 3);  // the freed window's timer went with it
  EXPECT_EQ(h.app.ActiveTimers(), 1u);
}

TEST(Application, ErrorsInHandlersAreShownAndTheLoopGoesOn) {
  test::HeadlessApp h;
  int ticks = 0;
  WindowHandle w = h.app.AllocateHWnd([&](TMessage&) {
    if (++ticks == 1) throw EOSError("the pointer position cannot be read");
  });
  h.app.SetTimer(w, 1, 10);
  test::AdvanceAndFire(h, 10);
  test::AdvanceAndFire(h, 10);
  EXPECT_EQ(ticks, 2);
  ASSERT_EQ(h.ws.Messages().size(), 1u);
  EXPECT_NE(h.ws.Messages()[0].find("pointer position"), std::string::npos);
}

TEST(Application, PressedControlKeepsThePointerUntilRelease) {
  test::HeadlessApp h;
  TForm form(&h.app);
  form.AutoSize = true;
  TImage left, right;
  left.SetBounds(0, 0, 50, 50);
  right.SetBounds(50, 0, 50, 50);
  form.AddControl(&left);
  form.AddControl(&right);
  std::vector<std::string> seen;
  auto record = [&](const char* who) {
    return [&seen, who](TObject*, TShiftState, int x, int y) {
      seen.push_back(std::string(who) + " " + std::to_string(x) + "," + std::to_string(y));
    };
  };
  left.OnMouseMove = record("left");
  right.OnMouseMove = record("right");
  left.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { seen.push_back("left down"); };
  right.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { seen.push_back("right up"); };
  form.Show();
  int ox = form.Left, oy = form.Top;
  h.ws.MovePointer(ox + 10, oy + 10);
  h.ws.PressButton();
  h.ws.MovePointer(ox + 70, oy + 10);   // over the right image, still the left's
  h.ws.MovePointer(ox + 500, oy + 500); // outside the window, still the left's
  h.ws.ReleaseButton();
  h.ws.MovePointer(ox + 70, oy + 10);
  EXPECT_EQ(seen, (std::vector<std::string>{"left 10,10", "left down", "left 70,10", "left 500,500",
                                            "right 20,10"}));
}

TEST(Application, WindowsStackLikeOnScreenAndShowingGrantsNoFocus) {
  test::HeadlessApp h;
  TForm lower(&h.app), upper(&h.app);
  lower.SetBounds(100, 100, 100, 100);
  upper.SetBounds(150, 100, 100, 100);
  upper.Show();
  lower.Show();  // mapped raised: now on top
  EXPECT_EQ(h.ws.ForegroundWindow(), 0u);
  EXPECT_EQ(h.ws.WindowFromPoint(TPoint{175, 150}), lower.Handle());
  h.ws.Raise(upper.Handle());
  EXPECT_EQ(h.ws.WindowFromPoint(TPoint{175, 150}), upper.Handle());
  // Through a cut-away part of the upper window the lower one shows.
  const std::vector<TRect> left_half{TRect{0, 0, 20, 100}};
  ASSERT_TRUE(SetWindowRgn(upper.Handle(), &left_half));
  EXPECT_EQ(h.ws.WindowFromPoint(TPoint{180, 150}), lower.Handle());
  EXPECT_EQ(h.ws.WindowFromPoint(TPoint{220, 150}), HeadlessWindowSystem::ForeignWindow);
}

// A window manager that keeps windows on the screen puts a move asked for
// past the edge elsewhere. Its report answers that request, so the next
// move (the next drag step) starts from where the window really is.
TEST(Application, AMovePlacedElsewhereIsAnsweredByWhereTheWindowWent) {
  test::HeadlessApp h;
  h.ws.SetKeepWindowsOnScreen(true);
  TForm form(&h.app);
  form.SetBounds(100, 100, 200, 100);
  form.Show();
  h.ws.WaitEvents(0);
  form.SetBounds(-40, 100, 200, 100);
  h.ws.WaitEvents(0);
  EXPECT_EQ(form.Left, 0);
  form.SetBounds(form.Left + 60, form.Top, form.Width, form.Height);
  h.ws.WaitEvents(0);
  EXPECT_EQ(h.ws.Find(form.Handle())->Bounds.Left, 60);
  EXPECT_EQ(form.Left, 60);
}

TEST(Application, KeysReachTheFormWithKeyPreviewAndCloseEndsTheLoop) {
  test::HeadlessApp h;
  TForm* form = nullptr;
  h.app.CreateForm(form);
  std::string keys;
  form->OnKeyPress = [&](TObject*, char& k) { keys += k; };
  form->Show();
  h.ws.SetForeground(form->Handle());
  h.ws.PressKey('a');
  EXPECT_EQ(keys, "");
  form->KeyPreview = true;
  h.ws.PressKey('b');
  EXPECT_EQ(keys, "b");
  h.ws.RequestClose(form->Handle());
  EXPECT_TRUE(h.app.Terminated());
  h.app.Run();  // returns at once once terminated
}

}  // namespace
}  // namespace portico
