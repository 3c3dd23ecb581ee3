// The progress window repaints its bar, two shaded boxes 550 pixels wide, after every archive entry.
#include "controls/GradientPatterns.h"
#include "controls/ShadedShapes.h"
#include "tests/support/FixedTextEngine.h"

#include <benchmark/benchmark.h>

namespace vendora {
namespace {

void DrawShadedBoxBar(benchmark::State& state) {
    XpSystemColors colors; // the button face the shapes are drawn in is Windows XP's
    test::FixedTextEngine text(test::TextShape::Invisible);
    Bitmap surface(560, 30);
    Canvas canvas(surface, text, colors);
    for (auto _ : state) {
        DrawShadedBox(canvas, 2, 2, 550, 20, clBtnFace, ButtonShadingStep, false);
        benchmark::DoNotOptimize(surface.Row(10));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(DrawShadedBoxBar);

// A repaint of the bar's top rows only: the rows outside the clip are skipped before their colour is worked
// out.
void DrawShadedBoxClipped(benchmark::State& state) {
    XpSystemColors colors; // the button face the shapes are drawn in is Windows XP's
    test::FixedTextEngine text(test::TextShape::Invisible);
    Bitmap surface(560, 30);
    Canvas canvas(surface, text, colors);
    canvas.SetClip({0, 0, 560, 6});
    for (auto _ : state) {
        DrawShadedBox(canvas, 2, 2, 550, 20, clBtnFace, ButtonShadingStep, true);
        benchmark::DoNotOptimize(surface.Row(10));
    }
}
BENCHMARK(DrawShadedBoxClipped);

// The message window's grip builds this pattern when the window is created.
void BuildDiagonalPattern(benchmark::State& state) {
    XpSystemColors colors;
    GradientSettings grip;
    grip.Style = TGradientStyle::gsDiagonalRF;
    grip.ColorEnd = clAppWorkSpace;
    Bitmap pattern;
    for (auto _ : state) {
        BuildGradient(grip, colors, pattern);
        benchmark::DoNotOptimize(pattern.Row(0));
    }
}
BENCHMARK(BuildDiagonalPattern);

void BuildRadialPattern(benchmark::State& state) {
    XpSystemColors colors;
    Bitmap pattern;
    for (auto _ : state) {
        BuildGradient(GradientSettings{}, colors, pattern);
        benchmark::DoNotOptimize(pattern.Row(0));
    }
}
BENCHMARK(BuildRadialPattern);

} // namespace
} // namespace vendora
