// Every window at the screen's density, with the real fonts: laid out from its 96-dpi design at 120, 144
// and 192 dpi, its text measured at the scaled size (a capital's ink s times as tall, every word inside
// the message area), and laid out again when the density changes, also in the middle of a call.
#include "base/Cp1252.h"
#include "controls/ui/CurvedSpeedButton.h"
#include "dialogs/forms/AttenteWindow.h"
#include "dialogs/forms/Progression.h"
#include "dialogs/forms/Ubm.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "gui/Label.h"
#include "gui/SpeedButton.h"
#include "html/label/HtmlLabel.h"
#include "tests/support/Pixels.h"
#include "tests/support/WindowTest.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace vendora::test {
namespace {

const char* const Question =
    "Installation de <B>Vendora.exe &copy; morvanel</B>.#13Cette installation va cr\xE9"
    "er le r\xE9pertoire \"<B>C:\\Vendora</B>\" et y copier tous les fichiers n\xE9"
    "cessaires \xE0 <B>Vendora.exe</B>.#13#13<FONT SIZE=14 COLOR=#0000CC>Voulez-vous lancer l'<U>installation"
    "</U> de Vendora.exe ?</FONT>";

class ScaledWindowsTest : public WindowTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        App().SetEngine(TheFreeTypeTextEngine());
        HeadlessBackend::Options options;
        options.ScreenScale = Scale(GetParam());
        installed_.reset();
        backend_ = std::make_unique<HeadlessBackend>(InputScript::Parse(""), options);
        backend_->SetObserver(this);
        installed_.emplace(App(), *backend_);
    }
    void WindowChanged(const WindowRecord& record) override {
        if (record.Kind == "window show" && OnShown)
            OnShown();
    }
    // The message window's buttons as they are now.
    static std::vector<IntRect> Buttons() {
        std::vector<IntRect> bounds;
        for (int i = 0; i < FMB()->ComponentCount(); ++i)
            if (auto* button = dynamic_cast<SpeedButton*>(FMB()->Components(i)))
                bounds.push_back(button->BoundsRect());
        return bounds;
    }

    std::function<void()> OnShown;
};

TEST_P(ScaledWindowsTest, TheMessageWindowIsLaidOutAndItsTextMeasuredAtTheScreensDensity) {
    const Scale s(GetParam());
    CreateMessageWindow(App(), MessageHost());
    FMB()->SetScale(Scale());
    ShowHtmlMessageWindow("Titre", Ansi(Question), "Oui#13Non", TColor(0));
    const int capital96 = CapitalInk(FMB()->Surface(), FMB()->LeMessage->Height() / 4);

    FMB()->SetScale(s);
    std::vector<IntRect> buttons;
    OnShown = [&] { buttons = Buttons(); };
    ShowHtmlMessageWindow("Titre", Ansi(Question), "Oui#13Non", TColor(0));
    const Bitmap& picture = FMB()->Surface();
    EXPECT_EQ(FMB()->ClientWidth(), s.Px(481));
    EXPECT_EQ(buttons, (std::vector<IntRect>{MessageLayout::OneRowButton(1, FMB()->ClientHeight(), s),
                                             MessageLayout::OneRowButton(2, FMB()->ClientHeight(), s)}));
    EXPECT_NEAR(CapitalInk(picture, FMB()->LeMessage->Height() / 4), std::lround(capital96 * s.Dpi() / 96.0),
                1)
        << "96 dpi: " << capital96;
    // Every word inside the message area: nothing in the right margin above the buttons.
    for (int y = 0; y < buttons[0].Top; ++y)
        for (int x = picture.Width() - s.Px(20); x < picture.Width(); ++x)
            ASSERT_EQ(picture.Pixel(x, y), clWhite) << x << "," << y;

    // Moved to a screen of another density while it waits: laid out again, buttons included.
    const Scale moved(GetParam() == 192 ? 120 : 192);
    OnShown = [&] {
        FMB()->SetScale(moved);
        buttons = Buttons();
    };
    ShowHtmlMessageWindow("Titre", Ansi(Question), "Oui#13Non", TColor(0));
    EXPECT_EQ(FMB()->ClientWidth(), moved.Px(481));
    EXPECT_EQ(buttons[1], MessageLayout::OneRowButton(2, FMB()->ClientHeight(), moved));
}

TEST_P(ScaledWindowsTest, TheProgressAndWaitingWindowsFollowTheirDesignAtEveryDensity) {
    const Scale s(GetParam());
    TProgression progress(App(), nullptr, [] { return 0.0; });
    TAttenteWindow waiting(App(), nullptr);
    for (const Scale& scale : {s, Scale(), s}) {
        progress.SetScale(scale);
        waiting.SetScale(scale);
        EXPECT_EQ(progress.ClientWidth(), scale.Px(606));
        EXPECT_EQ(progress.ClientHeight(), scale.Px(156));
        EXPECT_EQ(progress.SpeedButton1->BoundsRect(), scale.Rect(InterruptButtonBounds));
        EXPECT_EQ(progress.Totale->BoundsRect().Right, scale.Px(161));
        EXPECT_EQ(progress.Label2->Left(), scale.Px(261));
        EXPECT_EQ(progress.Label2->Width(),
                  App().Engine().TextWidth(progress.Label2->GetFont().Request(), progress.Label2->Caption()));
        EXPECT_EQ(waiting.ClientWidth(), scale.Px(502));
        EXPECT_EQ(waiting.ClientHeight(), scale.Px(304));
        EXPECT_EQ(waiting.Label2->BoundsRect(), scale.Box(0, 288, 502, 16));
    }
    // The track's frame, right of the bar (at 1 %): Line() pixels of dark at its top, the face below.
    progress.Show();
    App().PaintAll();
    const int x = s.Px(120), y = s.Px(50), t = s.Line();
    for (int k = 0; k < t; ++k)
        EXPECT_EQ(progress.Surface().Pixel(x, y + k), TColor::Rgb(70, 70, 70)) << k;
    EXPECT_NE(progress.Surface().Pixel(x, y + t), TColor::Rgb(70, 70, 70));
}

// The headless screen's density, as the program's environment sets it.
TEST(HeadlessScreenTest, TheScreensDensityComesFromTheEnvironmentAndAWrongOneIsRefused) {
    const auto backend = [] { return HeadlessBackend::FromEnvironment({})->ScreenScale(); };
    unsetenv("VENDORA_UI_DPI");
    EXPECT_EQ(backend(), Scale());
    setenv("VENDORA_UI_DPI", "144", 1);
    EXPECT_EQ(backend(), Scale(144));
    setenv("VENDORA_UI_DPI", "1.5", 1);
    EXPECT_THROW(backend(), std::invalid_argument);
    unsetenv("VENDORA_UI_DPI");
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledWindowsTest, ::testing::Values(120, 144, 192));

} // namespace
} // namespace vendora::test
