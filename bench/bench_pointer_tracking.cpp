// One pointer step across a skin of 500 controls (rectangles, rings and
// arcs mixed), with the heap allocations made during the steps counted.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "classlib/application.h"
#include "window/headless/headless_window_system.h"
#include "skin/skin.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// GCC cannot see that these replace the global pair and warns.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  // Forwarding to the default allocation keeps new and delete matched.
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace portico {
namespace {

constexpr int FrameWidth = 1920, FrameHeight = 1080, ControlCount = 500;

// A skin without files: three solid state images and a grid of controls in
// the top two thirds of the frame; the bottom third is empty space.
struct BenchSkin {
  HeadlessWindowSystem ws;
  TApplication app{ws};
  std::unique_ptr<TSkin> skin;

  BenchSkin() {
    app.Initialize();
    skin = std::make_unique<TSkin>("/nonexistent/", "none.ini", 0, 0, nullptr, nullptr, nullptr);
    auto solid = [](uint32_t rgb) {
      auto b = std::make_unique<TBitmap>(FrameWidth, FrameHeight);
      std::fill(b->Data(), b->Data() + size_t(FrameWidth) * FrameHeight, rgb);
      return b;
    };
    skin->BitmapNormal = solid(0x808080);
    skin->BitmapOver = solid(0x00FF00);
    skin->BitmapDown = solid(0x0000FF);
    skin->OwnFrame = solid(0x808080);
    skin->BitmapFrame = skin->OwnFrame.get();
    for (int i = 0; i < ControlCount; ++i) {
      int col = i % 25, row = i / 25;
      int x = col * 76, y = row * 36, w = 70, h = 30;
      int cx = x + w / 2, cy = y + h / 2;
      if (i % 3 == 0)
        skin->Buttons.push_back(std::make_unique<TSkinButton>("r", x, y, x + w, y + h, -1, -1, -1,
                                                              -1, -1, -1, -1, -1));
      else if (i % 3 == 1)
        skin->Buttons.push_back(std::make_unique<TSkinButton>("g", x, y, x + w, y + h, cx, cy, 15,
                                                              5, -1, -1, -1, -1));
      else
        skin->Buttons.push_back(std::make_unique<TSkinButton>("a", x, y, x + w, y + h, cx, cy, 15,
                                                              5, cx + 10, cy, cx, cy + 10));
    }
  }
};

// Steps over empty space: nothing changes, nothing is drawn.
void BM_TrackPointerNothingChanges(benchmark::State& state) {
  BenchSkin b;
  int i = 0;
  long before = g_allocations.load();
  for (auto _ : state) {
    int x = (i * 37) % FrameWidth, y = 760 + (i * 13) % 300;
    b.skin->TrackPointer(x, y, true, false);
    ++i;
  }
  state.counters["allocs_per_step"] =
      benchmark::Counter(double(g_allocations.load() - before) / double(state.iterations()));
}
BENCHMARK(BM_TrackPointerNothingChanges);

// A sweep across the controls: hover changes, redraws and hand-overs.
void BM_TrackPointerSweepAcrossControls(benchmark::State& state) {
  BenchSkin b;
  int i = 0;
  b.skin->TrackPointer(0, 0, true, false);  // let the timer list take its room
  long before = g_allocations.load();
  for (auto _ : state) {
    int x = (i * 7) % FrameWidth, y = (i * 3) % 720;
    b.skin->TrackPointer(x, y, true, false);
    ++i;
  }
  state.counters["allocs_per_step"] =
      benchmark::Counter(double(g_allocations.load() - before) / double(state.iterations()));
}
BENCHMARK(BM_TrackPointerSweepAcrossControls);

// Hit tests alone, the bulk of a step that changes nothing.
void BM_HitTestAllControls(benchmark::State& state) {
  BenchSkin b;
  int i = 0;
  for (auto _ : state) {
    int x = (i * 7) % FrameWidth, y = (i * 3) % 720;
    int hits = 0;
    for (auto& c : b.skin->Buttons) hits += c->HitTest(x, y);
    benchmark::DoNotOptimize(hits);
    ++i;
  }
}
BENCHMARK(BM_HitTestAllControls);

}  // namespace
}  // namespace portico

BENCHMARK_MAIN();
