// Cost of redrawing a button caption, as every hover does.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "graphics/bitmap.h"
#include "text/draw_text.h"

namespace {

using namespace portico;

// DrawTextW of a 20-character caption centred in a 200x60 box at the
// point size given as the argument.
void BM_DrawCaption(benchmark::State& state) {
  TBitmap bitmap(200, 60);
  std::fill(bitmap.Data(), bitmap.Data() + 200 * 60, 0xC0C0C0u);
  bitmap.Canvas.Font.Size = int(state.range(0));
  const std::u16string caption = u"&Install the program";  // 20 characters shown
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        DrawTextW(bitmap, caption, TRect{0, 0, 200, 60}, tfCenter | tfVCenter | tfSingleLine));
    bitmap.TakeDamage();
  }
}
BENCHMARK(BM_DrawCaption)->Arg(8)->Arg(10);

// The same caption cut with an ellipsis in a narrow box.
void BM_DrawCaptionEllipsis(benchmark::State& state) {
  TBitmap bitmap(200, 60);
  bitmap.Canvas.Font.Size = int(state.range(0));
  const std::u16string caption = u"&Install the program";
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        DrawTextW(bitmap, caption, TRect{0, 0, 60, 60}, tfEndEllipsis | tfVCenter | tfSingleLine));
    bitmap.TakeDamage();
  }
}
BENCHMARK(BM_DrawCaptionEllipsis)->Arg(8)->Arg(10);

// The first caption of a start: the text preparation opens the bundled
// face, then the version text is laid out and drawn in a fresh cache.
void BM_FirstCaption(benchmark::State& state) {
  TBitmap bitmap(124, 26);
  bitmap.Canvas.Font.Size = 10;
  for (auto _ : state) {
    TTextPreparation preparation;
    benchmark::DoNotOptimize(
        DrawTextW(bitmap, u"1.0 demo", TRect{0, 0, 124, 26}, tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis));
    bitmap.TakeDamage();
  }
}
BENCHMARK(BM_FirstCaption)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
