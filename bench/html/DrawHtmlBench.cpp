// Painting the installer's install prompt at the message window's width (441 pixels at x 20, y 5), as the
// window does on every paint. Text measurement goes through a wrapping engine that times and counts it,
// so the share of a paint spent measuring text is reported beside the time per call.

#include "base/Cp1252.h"
#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "html/DrawHtml.h"
#include "installer/InstallerTexts.h"
#include "platform/posix/HostFileSystem.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace vendora {
namespace {

class TimedTextEngine : public TextEngine {
public:
    explicit TimedTextEngine(TextEngine& inner) : inner_(inner) {}

    std::chrono::nanoseconds Measuring{0};
    long long Measures = 0;

    FontMetrics Metrics(const FontRequest& font) override {
        const auto start = Clock::now();
        const FontMetrics metrics = inner_.Metrics(font);
        Count(start);
        return metrics;
    }
    int TextWidth(const FontRequest& font, std::string_view text) override {
        const auto start = Clock::now();
        const int width = inner_.TextWidth(font, text);
        Count(start);
        return width;
    }
    void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                  std::string_view text, TColor color) override {
        inner_.DrawText(target, clip, x, y, font, text, color);
    }

private:
    using Clock = std::chrono::steady_clock;
    void Count(Clock::time_point start) {
        Measuring += Clock::now() - start;
        ++Measures;
    }
    TextEngine& inner_;
};

AnsiString InstallPrompt() {
    AnsiString text = InstallerMessageTexts(InstallerMessage::InstallPrompt).Text;
    ReplaceAll("#13", "\r", text, true);
    ReplaceAll("\r", "<P>", text, true);
    return text;
}

void PaintInstallPrompt(benchmark::State& state) {
    static FreeTypeTextEngine freetype;
    TimedTextEngine engine(freetype);
    const AnsiString text = InstallPrompt();
    Bitmap surface(481, 200);
    XpSystemColors colors;
    Canvas canvas(surface, engine, colors);
    canvas.GetFont().Name = "Tahoma";
    canvas.GetFont().SetHeight(-13);
    HostFileSystem files; // the prompt shows no picture: no file is read
    const HtmlHost host{nullptr, PictureServices{files, engine}};
    DrawHtml(canvas, host, 20, 5, 441, text, clWhite); // glyph caches warm
    engine.Measuring = {};
    engine.Measures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawHtml(canvas, host, 20, 5, 441, text, clWhite));
    const auto total = std::chrono::steady_clock::now() - start;
    state.counters["measure_share"] =
        static_cast<double>(engine.Measuring.count()) / static_cast<double>(total.count());
    state.counters["measures_per_call"] =
        benchmark::Counter(static_cast<double>(engine.Measures), benchmark::Counter::kAvgIterations);
}
BENCHMARK(PaintInstallPrompt)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vendora
