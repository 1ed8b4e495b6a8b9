// Random pointer traffic through the headless window system: the skin's
// invariants hold after every step and memory stays flat.
#include <gtest/gtest.h>
#include <malloc.h>

#include <random>
#include <set>

#include "skin/skin.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

std::set<const TSkinButton*> g_held_since_release;
std::vector<const TSkinButton*> g_bad_clicks;
size_t g_clicks = 0;

void CheckedClick(TSkin*, TSkinButton* b) {
  ++g_clicks;
  if (!g_held_since_release.count(b)) g_bad_clicks.push_back(b);
}

TEST(PointerStress, RandomTrafficKeepsTheInvariants) {
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
  TForm form(&h.app);
  form.AutoSize = true;
  TImage image;
  form.AddControl(&image);
  TSkin skin(dir.Path() + "/", "s.ini", 0, 0, &form, &image, CheckedClick);
  skin.SetButtonCaption("Disabled", u"x", 0, 8, -1, true);
  skin.DrawAllButtons();
  form.Show();
  const WindowHandle ours = form.Handle();
  h.ws.SetForeground(ours);

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
      case 7: test::AdvanceAndFire(h, 100); break;
      case 8:
        h.ws.SetCoveringWindow(pick(2) ? std::nullopt
                                       : std::optional<TRect>(TRect{form.Left, form.Top,
                                                                    form.Left + 150, form.Top + 100}));
        break;
      case 9:
        h.ws.WaitEvents(0);  // the window system's move reports
        break;
      default:
        // Keep the window on the screen so that the pointer can reach it.
        if (form.Left < 0 || form.Top < 0 || form.Left > 1500 || form.Top > 800) {
          h.ws.ReleaseButton(1);
          form.SetBounds(500, 400, form.Width, form.Height);
        }
        break;
    }
    ASSERT_TRUE(skin.CaptureButton == nullptr ||
                std::any_of(skin.Buttons.begin(), skin.Buttons.end(),
                            [&](auto& b) { return b.get() == skin.CaptureButton; }));
    for (auto& b : skin.Buttons) {
      ASSERT_FALSE(b->Clicked) << "step " << step;
      if (b->Held) g_held_since_release.insert(b.get());
    }
    if (!h.ws.PrimaryButtonDown()) {
      // A click may only come from a press made before this release.
      if (std::none_of(skin.Buttons.begin(), skin.Buttons.end(), [](auto& b) { return b->Held; }))
        g_held_since_release.clear();
    }
    ASSERT_LE(h.app.ActiveTimers(), 1u);
    // The in-memory window keeps a log of hand-overs; that is the test's.
    h.ws.Find(ours)->Presents.clear();
#ifdef __GLIBC__
    if (step == 1000) baseline = mallinfo2().uordblks;
#endif
  }
  EXPECT_TRUE(g_bad_clicks.empty());
  EXPECT_GT(g_clicks, 0u);
  // Nothing accumulates: the heap in use is what it was early on. The
  // heap counter is glibc's: elsewhere only the invariants are checked.
#ifdef __GLIBC__
  EXPECT_LT(mallinfo2().uordblks, baseline + 64 * 1024);
#endif
}

}  // namespace
}  // namespace portico
