// The canvas operations the renderer repeats on every paint: line shifts, fills and stretched pictures.

#include "gfx/Canvas.h"
#include "tests/support/FixedTextEngine.h"

#include <benchmark/benchmark.h>

namespace vendora {
namespace {

void BM_CopyRectLineShift(benchmark::State& state) {
    Bitmap surface(600, 400);
    test::FixedTextEngine text(test::TextShape::Invisible);
    XpSystemColors colors;
    Canvas canvas(surface, text, colors);
    for (auto _ : state)
        canvas.CopyRect({25, 100, 575, 116}, {20, 100, 570, 116});
    state.SetBytesProcessed(state.iterations() * 550 * 16 * 4);
}
BENCHMARK(BM_CopyRectLineShift);

void BM_StretchDraw(benchmark::State& state) {
    Bitmap surface(600, 400);
    Bitmap picture(300, 200, clRed);
    test::FixedTextEngine text(test::TextShape::Invisible);
    XpSystemColors colors;
    Canvas canvas(surface, text, colors);
    for (auto _ : state)
        canvas.StretchDraw({10, 10, 460, 310}, picture);
    state.SetItemsProcessed(state.iterations() * 450 * 300);
}
BENCHMARK(BM_StretchDraw);

void BM_HorizontalLines(benchmark::State& state) {
    Bitmap surface(600, 400);
    test::FixedTextEngine text(test::TextShape::Invisible);
    XpSystemColors colors;
    Canvas canvas(surface, text, colors);
    for (auto _ : state)
        for (int y = 0; y < 20; ++y) {
            canvas.MoveTo(0, y);
            canvas.LineTo(550, y);
        }
    state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(BM_HorizontalLines);

} // namespace
} // namespace vendora
