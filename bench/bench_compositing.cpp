// Drawing controls into the frame and handing the frame to the window.
// With DISPLAY set, the hand-over goes to a real X window; otherwise to the
// in-memory window system.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "window/x11/x11_window_system.h"
#include "skin/skin.h"

namespace portico {
namespace {

constexpr int FrameWidth = 1920, FrameHeight = 1080;

std::unique_ptr<TBitmap> Gradient(uint32_t tint) {
  auto b = std::make_unique<TBitmap>(FrameWidth, FrameHeight);
  for (int y = 0; y < FrameHeight; ++y)
    for (int x = 0; x < FrameWidth; ++x) b->SetPixel(x, y, ((x ^ y) & 0xFF) * 0x010101u ^ tint);
  return b;
}

// A 1920 x 1080 skin shown in a window, with `count` controls of 200 x 60,
// each with a 20-character caption.
struct Scene {
  std::unique_ptr<WindowSystem> ws;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TForm> form;
  TImage image;
  std::unique_ptr<TSkin> skin;
  bool real_x = false;

  explicit Scene(int count) {
    if (std::getenv("DISPLAY")) ws = CreateX11WindowSystem();
    real_x = ws != nullptr;
    if (!ws) ws = std::make_unique<HeadlessWindowSystem>();
    app = std::make_unique<TApplication>(*ws);
    app->Initialize();
    form = std::make_unique<TForm>(app.get());
    form->BorderStyle = TBorderStyle::bsNone;
    form->AutoSize = true;
    form->AddControl(&image);
    skin = std::make_unique<TSkin>("/nonexistent/", "none.ini", 0, 0, form.get(), &image, nullptr);
    skin->BitmapNormal = Gradient(0);
    skin->BitmapOver = Gradient(0x3060A0);
    skin->BitmapDown = Gradient(0xA06030);
    skin->BitmapFrame = &image.Picture()->Edit();
    skin->BitmapFrame->Assign(*skin->BitmapNormal);
    for (int i = 0; i < count; ++i) {
      int x = (i % 9) * 210, y = (i / 9) * 70 % (FrameHeight - 60);
      auto b = std::make_unique<TSkinButton>("c", x, y, x + 200, y + 60, -1, -1, -1, -1, -1, -1, -1, -1);
      b->Caption = u"Install the product.";
      b->Alignment = 0;
      b->FontSize = 10;
      skin->Buttons.push_back(std::move(b));
    }
    skin->ShowFrame(true);
    form->Show();
  }
};

void BM_DrawButton200x60WithCaption(benchmark::State& state) {
  Scene s(1);
  TSkinButton* b = s.skin->Buttons[0].get();
  for (auto _ : state) {
    b->Hover = !b->Hover;
    s.skin->DrawButton(b);
  }
  s.skin->BitmapFrame->TakeDamage();
}
BENCHMARK(BM_DrawButton200x60WithCaption);

void BM_DrawAllButtons100Controls(benchmark::State& state) {
  Scene s(100);
  for (auto _ : state) s.skin->DrawAllButtons();
  state.counters["real_x"] = s.real_x;
}
BENCHMARK(BM_DrawAllButtons100Controls)->Unit(benchmark::kMillisecond);

// The whole frame handed over: what every hover would cost without
// change tracking.
void BM_FullFrameHandOver(benchmark::State& state) {
  Scene s(1);
  for (auto _ : state) {
    s.skin->BitmapFrame->DamageAll();
    s.skin->ShowFrame(true);
  }
  state.counters["bytes_sent"] = double(FrameWidth) * FrameHeight * 4;
  state.counters["real_x"] = s.real_x;
}
BENCHMARK(BM_FullFrameHandOver)->Unit(benchmark::kMicrosecond);

// One hover redraw and its hand-over: only the control's rectangle moves.
void BM_HoverRedrawAndHandOver(benchmark::State& state) {
  Scene s(1);
  TSkinButton* b = s.skin->Buttons[0].get();
  for (auto _ : state) {
    b->Hover = !b->Hover;
    s.skin->DrawButton(b);
    s.skin->ShowFrame(false);
  }
  state.counters["bytes_sent"] = double(b->Bounds.Width()) * b->Bounds.Height() * 4;
  state.counters["real_x"] = s.real_x;
}
BENCHMARK(BM_HoverRedrawAndHandOver)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace portico

BENCHMARK_MAIN();
