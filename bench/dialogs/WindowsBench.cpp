// The installer's windows with the real text engine: one SetPosition of the progress window (the bar's
// strip, the status line and the two times repainted, then the message pump), and one whole message
// window call (layout, the measuring draw, showing, the answer, freeing the buttons).
#include "base/Cp1252.h"
#include "dialogs/forms/Progression.h"
#include "dialogs/forms/Ubm.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessBackend.h"
#include "html/HtmlHost.h"
#include "tests/support/MemoryPlatform.h"

#include <benchmark/benchmark.h>

#include <optional>

namespace vendora {
namespace {

// A machine whose current folder holds no glyph files, the FreeType engine, and headless windows that
// answer a script.
class BenchWindows {
public:
    BenchWindows() { machine_.Day = 45000.0; }
    ~BenchWindows() { app_.Shutdown(); }
    BenchWindows(const BenchWindows&) = delete;
    BenchWindows& operator=(const BenchWindows&) = delete;

    void UseScript(const std::string& script) {
        installed_.reset();
        backend_ = std::make_unique<HeadlessBackend>(InputScript::Parse(script), HeadlessBackend::Options{});
        installed_.emplace(app_, *backend_);
    }
    Application& App() { return app_; }
    HtmlHost MessageHost() { return HtmlHost{nullptr, {machine_.Files(), app_.Engine(), nullptr}}; }

private:
    test::MemoryPlatform machine_;
    Application app_{TheFreeTypeTextEngine(), machine_};
    std::unique_ptr<HeadlessBackend> backend_;
    std::optional<UsedBackend> installed_;
};

void ProgressSetPosition(benchmark::State& state) {
    BenchWindows windows;
    windows.UseScript("");
    double now = 45000.0;
    TProgression window(windows.App(), nullptr, [&] { return now; });
    window.Show();
    windows.App().PaintAll();
    int position = 0;
    for (auto _ : state) {
        now += 1.0 / 86400;
        position = position % 100 + 1;
        window.SetPosition(position);
        benchmark::DoNotOptimize(window.Surface().Row(60));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ProgressSetPosition);

void MessageWindowCall(benchmark::State& state) {
    BenchWindows windows;
    windows.UseScript("");
    CreateMessageWindow(windows.App(), windows.MessageHost());
    const AnsiString text =
        Ansi("Installation de <B>Vendora.exe © morvanel</B>.#13Cette installation va créer le "
             "répertoire \"<B>C:\\Vendora</B>\" et y copier tous les fichiers nécessaires.#13"
             "<FONT SIZE=16 COLOR=#0000FF>Voulez-vous lancer l'installation ?</FONT>");
    for (auto _ : state) {
        state.PauseTiming();
        windows.UseScript("key Return\n");
        state.ResumeTiming();
        benchmark::DoNotOptimize(ShowHtmlMessageWindow("Installation", text, "Oui#13Non", TColor(0)));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(MessageWindowCall);

} // namespace
} // namespace vendora
