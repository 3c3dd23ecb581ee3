// Text as the markup renderer uses it: every paint measures and draws each word again.

#include "base/Cp1252.h"
#include "gfx/Canvas.h"
#include "gfx/freetype/FreeTypeTextEngine.h"

#include <benchmark/benchmark.h>

namespace vendora {
namespace {

const std::string& Sentence() {
    static const std::string text = Ansi("Une importation étant en cours, veuillez patienter quelques "
                                         "instants, la déconcaténation reprendra.");
    return text;
}

FreeTypeTextEngine& Engine() {
    static FreeTypeTextEngine engine;
    return engine;
}

void SetTahoma(Canvas& canvas) {
    canvas.GetFont().Name = "Tahoma";
    canvas.GetFont().SetSize(10);
    canvas.GetFont().Color = clBlack;
}

void BM_TextWidth(benchmark::State& state) {
    Bitmap surface(800, 40);
    XpSystemColors colors;
    Canvas canvas(surface, Engine(), colors);
    SetTahoma(canvas);
    for (auto _ : state)
        benchmark::DoNotOptimize(canvas.TextWidth(Sentence()));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Sentence().size()));
}
BENCHMARK(BM_TextWidth);

void BM_TextOut(benchmark::State& state) {
    Bitmap surface(800, 40);
    XpSystemColors colors;
    Canvas canvas(surface, Engine(), colors);
    SetTahoma(canvas);
    if (state.range(0) == 0)
        canvas.GetBrush().SetStyle(BrushStyle::Clear);
    else
        canvas.GetBrush().SetColor(clYellow);
    for (auto _ : state)
        canvas.TextOut(2, 2, Sentence());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Sentence().size()));
}
BENCHMARK(BM_TextOut)->Arg(0)->Arg(1)->ArgName("solid");

// Word by word, switching between plain and bold as a marked-up message does.
void BM_WordsWithStyleChanges(benchmark::State& state) {
    Bitmap surface(800, 40);
    XpSystemColors colors;
    Canvas canvas(surface, Engine(), colors);
    SetTahoma(canvas);
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
    const char* words[] = {"Voulez-vous ", "installer ", "Vendora ", "maintenant ", "? "};
    for (auto _ : state) {
        int x = 0;
        for (int i = 0; i < 5; ++i) {
            canvas.GetFont().Style.Bold = i % 2 == 1;
            canvas.TextOut(x, 2, words[i]);
            x += canvas.TextWidth(words[i]);
        }
    }
}
BENCHMARK(BM_WordsWithStyleChanges);

void BM_FirstUseOfAFont(benchmark::State& state) {
    for (auto _ : state) {
        FreeTypeTextEngine engine;
        benchmark::DoNotOptimize(engine.TextWidth({"Tahoma", -13, false, false, false}, Sentence()));
    }
}
BENCHMARK(BM_FirstUseOfAFont)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vendora
