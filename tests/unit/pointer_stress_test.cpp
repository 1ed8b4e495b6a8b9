// Random pointer traffic through the headless window system, checked step by
// step against a small reference model of the tracking rules: which controls
// are lit and pressed, which clicks are delivered, where the window is and
// whether the polling timer runs. Memory stays flat.
#include <gtest/gtest.h>
#include <malloc.h>

#include <optional>
#include <random>
#include <tuple>
#include <utility>

#include "skin/skin.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

// The rules of the transition table, restated without the skin: a control
// under the pointer (in front) lights up, a press on it presses and holds
// it, a release on it while held clicks it; a held control keeps the
// pointer; a press that no control holds drags the window; a delivered
// click with the button up puts everything back; a tick that finds the
// pointer gone does the same.
class TReferenceTracker {
 public:
  struct TState {
    bool Lit = false, Pressed = false, Held = false;
  };

  explicit TReferenceTracker(const TSkin& skin) : skin_(skin), controls_(skin.Buttons.size()) {}

  // A pointer event at frame point (x, y).
  void Event(int x, int y, bool foreground, bool button, TPoint cursor) {
    polling_ = Step(x, y, foreground, button, cursor);
  }
  // A tick of the polling timer; `left` when the pointer has left.
  void Tick(bool left) {
    if (!polling_ || !left) return;
    Step(0, 0, false, false, TPoint{});
    polling_ = false;
  }
  void WindowSetTo(TPoint p) { window_ = p; }

  const TState& Control(size_t i) const { return controls_[i]; }
  // The clicks delivered since the last call.
  std::vector<std::string> TakeClicks() { return std::exchange(clicks_, {}); }
  TPoint Window() const { return window_; }
  bool Polling() const { return polling_; }

 private:
  // One step; returns whether it asks for polling.
  bool Step(int x, int y, bool foreground, bool button, TPoint cursor) {
    const bool pressing = foreground && button;
    if (!pressing) dragging_ = false;
    if (dragging_) {
      window_.X += cursor.X - origin_.X;
      window_.Y += cursor.Y - origin_.Y;
      origin_ = cursor;
      return false;
    }
    std::vector<size_t> clicked;
    bool polling = false;
    if (capture_) {
      Visit(*capture_, x, y, foreground, button, clicked);
      if (!controls_[*capture_].Held) capture_.reset();
    } else {
      for (size_t i = 0; i < controls_.size(); ++i) {
        Visit(i, x, y, foreground, button, clicked);
        const bool just_clicked = !clicked.empty() && clicked.back() == i;
        if (controls_[i].Lit && !controls_[i].Held && !just_clicked) polling = true;
        if (!capture_ && controls_[i].Held) capture_ = i;
      }
      if (pressing && !capture_) {
        dragging_ = true;
        origin_ = cursor;
        polling = true;
      }
    }
    bool delivered = false;
    for (size_t i : clicked)
      if (skin_.Buttons[i]->Enabled) {
        clicks_.push_back(skin_.Buttons[i]->Name);
        delivered = true;
      }
    if (delivered && !pressing) Step(0, 0, false, false, cursor);
    return polling;
  }

  void Visit(size_t i, int x, int y, bool foreground, bool button, std::vector<size_t>& clicked) {
    TState& c = controls_[i];
    if (!foreground || !skin_.Buttons[i]->HitTest(x, y)) {
      c.Lit = c.Pressed = false;
      if (!(foreground && button)) c.Held = false;
      return;
    }
    c.Lit = true;
    if (!c.Pressed && button) {
      c.Pressed = c.Held = true;
    } else if (c.Pressed && !button && c.Held) {
      c.Pressed = c.Held = false;
      clicked.push_back(i);
    }
  }

  const TSkin& skin_;
  std::vector<TState> controls_;
  std::optional<size_t> capture_;
  bool dragging_ = false;
  TPoint origin_;
  TPoint window_;
  bool polling_ = false;
  std::vector<std::string> clicks_;
};

std::vector<std::string> g_clicks;
size_t g_click_count = 0;
void RecordClick(TSkin*, TSkinButton* b) {
  g_clicks.push_back(b->Name);
  ++g_click_count;
}

TEST(PointerStress, RandomTrafficFollowsTheReferenceModel) {
  test::HeadlessApp h;
  test::ScratchFolder dir;
  dir.Write("n.bmp", EncodeBmp24(SolidBitmap(300, 200, 0x808080)));
  dir.Write("o.bmp", EncodeBmp24(SolidBitmap(300, 200, 0x00FF00)));
  dir.Write("d.bmp", EncodeBmp24(SolidBitmap(300, 200, 0x0000FF)));
  dir.Write("s.ini",
            "[SCREEN]\nNormal=n.bmp\nOver=o.bmp\nDown=d.bmp\n[BUTTONPOS]\n"
            "a=A,10,10,100,60\nb=B,60,40,100,60\nc=Ring,100,20,120,120,160,80,55,25\n"
            "d=Arc,120,40,120,120,160,100,50,20,210,100,160,150\n"
            "e=Disabled,20,120,80,50\nf=A,30,30,30,30\n");
  g_clicks.clear();
  g_click_count = 0;
  TForm form(&h.app);
  form.AutoSize = true;
  TImage image;
  form.AddControl(&image);
  TSkin skin(dir.Path() + "/", "s.ini", 0, 0, &form, &image, RecordClick);
  skin.SetButtonCaption("Disabled", u"x", 0, 8, -1, true);
  skin.DrawAllButtons();
  form.Show();
  const WindowHandle ours = form.Handle();
  h.ws.SetForeground(ours);

  // The model sees every event the skin sees, with the same facts.
  TReferenceTracker model(skin);
  model.WindowSetTo(TPoint{form.Left, form.Top});
  auto facts_then = [&](auto skin_handler) {
    return [&model, &h, ours, skin_handler](auto... args) {
      const auto xy = std::make_tuple(args...);
      const int x = std::get<sizeof...(args) - 2>(xy), y = std::get<sizeof...(args) - 1>(xy);
      model.Event(x, y, h.ws.ForegroundWindow() == ours, h.ws.PrimaryButtonDown(), h.ws.Pointer());
      skin_handler(args...);
    };
  };
  image.OnMouseDown = facts_then(image.OnMouseDown);
  image.OnMouseMove = facts_then(image.OnMouseMove);
  image.OnMouseUp = facts_then(image.OnMouseUp);

  // A point of each control that no other control's box covers, where the
  // window must show that control's look (the disabled one always normal).
  const struct {
    size_t Control;
    int X, Y;
  } own_points[] = {{0, 15, 15}, {1, 70, 85}, {2, 115, 25}, {3, 230, 150}, {4, 25, 160}};
  auto look = [](const TSkinButton& b) -> uint32_t {
    if (!b.Enabled) return 0x808080;
    return b.Down ? 0x0000FF : b.Hover ? 0x00FF00 : 0x808080;
  };

  std::mt19937 rng(12345);
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  [[maybe_unused]] size_t baseline = 0;
  for (int step = 0; step < 100000; ++step) {
    switch (pick(11)) {
      case 0: case 1: case 2: case 3:
        h.ws.MovePointer(form.Left - 20 + pick(340), form.Top - 20 + pick(240));
        break;
      case 4: h.ws.PressButton(pick(4) == 0 ? 3 : 1); break;
      case 5: h.ws.ReleaseButton(pick(4) == 0 ? 3 : 1); break;
      case 6: h.ws.SetForeground(pick(3) == 0 ? HeadlessWindowSystem::ForeignWindow : ours); break;
      case 7: {
        const TPoint p = h.ws.Pointer();
        const bool left = !h.ws.PrimaryButtonDown() &&
                          (form.ControlAtPos(form.ScreenToClient(p), false, true) != &image ||
                           h.ws.ForegroundWindow() != ours || h.ws.WindowFromPoint(p) != ours);
        model.Tick(left);
        test::AdvanceAndFire(h, 100);
        break;
      }
      case 8:
        h.ws.SetCoveringWindow(pick(2) ? std::nullopt
                                       : std::optional<TRect>(TRect{form.Left, form.Top,
                                                                    form.Left + 150, form.Top + 100}));
        break;
      case 9:
        // The window system reports moves late, one or all at once.
        if (pick(2))
          h.ws.DeliverMoveReport();
        else
          h.ws.WaitEvents(0);
        break;
      default:
        // Keep the window on the screen so that the pointer can reach it.
        if (form.Left < 0 || form.Top < 0 || form.Left > 1500 || form.Top > 800) {
          h.ws.ReleaseButton(1);
          form.SetBounds(500, 400, form.Width, form.Height);
          model.WindowSetTo(TPoint{500, 400});
        }
        break;
    }
    for (size_t i = 0; i < skin.Buttons.size(); ++i) {
      const TSkinButton& b = *skin.Buttons[i];
      ASSERT_EQ(b.Hover, model.Control(i).Lit) << "step " << step << ", control " << i;
      ASSERT_EQ(b.Down, model.Control(i).Pressed) << "step " << step << ", control " << i;
    }
    for (const auto& p : own_points)
      ASSERT_EQ(h.ws.Find(ours)->Frame.Pixel(p.X, p.Y), look(*skin.Buttons[p.Control]))
          << "step " << step << ", control " << p.Control;
    ASSERT_EQ(std::exchange(g_clicks, {}), model.TakeClicks()) << "step " << step;
    // Where the form believes its window is, and where the window is.
    const TRect& shown = h.ws.Find(ours)->Bounds;
    ASSERT_EQ((TPoint{form.Left, form.Top}), model.Window()) << "step " << step;
    ASSERT_EQ((TPoint{shown.Left, shown.Top}), model.Window()) << "step " << step;
    ASSERT_EQ(skin.TimerId != 0, model.Polling()) << "step " << step;
    // The in-memory window keeps a log of hand-overs; that is the test's.
    h.ws.Find(ours)->Presents.clear();
#ifdef __GLIBC__
    if (step == 1000) baseline = mallinfo2().uordblks;
#endif
  }
  EXPECT_GT(g_click_count, 100u);
  // Nothing accumulates: the heap in use is what it was early on. The
  // heap counter is glibc's: elsewhere only the invariants are checked.
#ifdef __GLIBC__
  EXPECT_LT(mallinfo2().uordblks, baseline + 64 * 1024);
#endif
}

}  // namespace
}  // namespace portico
