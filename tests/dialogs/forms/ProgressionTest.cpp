// The progress window: the duration text, the strings at chosen positions and times, the bar, the strip
// SetPosition repaints, "Interrompre" and closing; and the split reporting an interruption once.
#include "dialogs/forms/Progression.h"
#include "base/Cp1252.h"
#include "controls/ColorOps.h"
#include "controls/ui/CurvedSpeedButton.h"
#include "gui/Label.h"
#include "tests/dialogs/forms/ProgressWindowTest.h"

namespace vendora::test {
namespace {

constexpr double Second = 1.0 / 86400;

TEST(FormatDurationTest, EveryExample) {
    EXPECT_EQ(FormatDuration(0), "0s");
    EXPECT_EQ(FormatDuration(5 * Second), "05s");
    EXPECT_EQ(FormatDuration(65 * Second), "01mn05s");
    EXPECT_EQ(FormatDuration(3607 * Second), "1h07s");
    EXPECT_EQ(FormatDuration(2 + 3.0 / 24), "2 jours 3h");
    EXPECT_EQ(FormatDuration(1), "un jour ");
    EXPECT_EQ(FormatDuration(31), "1 mois ");
    EXPECT_EQ(FormatDuration(365), "un an ");
    EXPECT_EQ(FormatDuration(30 * Second), "30s");
    EXPECT_EQ(FormatDuration(120 * Second), "02mn");
    EXPECT_EQ(FormatDuration(90 * Second), "01mn30s");
    EXPECT_EQ(FormatDuration(59 * 60 * Second + 59 * Second), "59mn59s");
    // Counted on the calendar from 1 January 1900: 1900 has no 29 February, 1904 has one.
    EXPECT_EQ(FormatDuration(730), "2 ans ");
    EXPECT_EQ(FormatDuration(1461), "4 ans un jour ");
    EXPECT_EQ(FormatDuration(59), "2 mois ");
    EXPECT_EQ(FormatDuration(1460 + 31 + 28), "4 ans 1 mois 28 jours ");
    EXPECT_EQ(FormatDuration(1460 + 31 + 29), "4 ans 2 mois ");
    EXPECT_EQ(FormatDuration(-5 * Second), "0s");
    EXPECT_LE(FormatDuration(1e300).size(), 255u);
}

TEST(FormatDurationTest, BarWidthsRoundHalvesToEven) {
    EXPECT_EQ(ProgressBarWidth(0), 0);
    EXPECT_EQ(ProgressBarWidth(1), 6);
    EXPECT_EQ(ProgressBarWidth(3), 16); // 16.5
    EXPECT_EQ(ProgressBarWidth(5), 28); // 27.5
    EXPECT_EQ(ProgressBarWidth(50), 275);
    EXPECT_EQ(ProgressBarWidth(100), 550);
}

// Records the strips invalidated without erasing the background over the bar's rows.
class RecordingProgression : public TProgression {
public:
    using TProgression::TProgression;
    std::vector<IntRect> BarStrips;
    void Invalidate(const IntRect& area, bool erase) override {
        if (!erase && area.Top == 50 && area.Bottom == 70)
            BarStrips.push_back(area);
        TProgression::Invalidate(area, erase);
    }
};

using ProgressionTest = ProgressWindowTest;

TEST_F(ProgressionTest, CreationSetsPositionOneAndTheDesignTexts) {
    TProgression window(App(), nullptr, Clock());
    EXPECT_EQ(window.Percent(), 1);
    EXPECT_EQ(window.ClientWidth(), 606);
    EXPECT_EQ(window.ClientHeight(), 156);
    EXPECT_EQ(window.Label4->Caption(), "Totale :");
    EXPECT_EQ(window.Label4->Left() + window.Label4->Width(), 90);
    EXPECT_EQ(window.Restante->Left() + window.Restante->Width(), 161);
    EXPECT_EQ(window.Label3->Caption(), Ansi("Durée du traitement (estimation)"));
    EXPECT_EQ(window.SpeedButton1->Caption(), "Interrompre");
    EXPECT_EQ(window.SpeedButton1->BoundsRect(), IntRect::FromSize(394, 106, 158, 29));
    // Before the first showing the times count from the instant zero.
    EXPECT_EQ(window.Label2->Caption().substr(0, 17), Ansi(" 1% réalisé en 12"));
}

TEST_F(ProgressionTest, StringsAtChosenPositionsAndTimes) {
    TProgression window(App(), nullptr, Clock());
    window.Show();
    now_ += 30 * Second;
    window.SetPosition(25);
    EXPECT_EQ(window.Label2->Caption(), Ansi(" 25% réalisé en 30s "));
    EXPECT_EQ(window.Totale->Caption(), "02mn");
    EXPECT_EQ(window.Restante->Caption(), "01mn30s");
    EXPECT_EQ(window.Totale->Left() + window.Totale->Width(), 161);

    now_ += 3 * Second;
    window.SetPosition(0);
    EXPECT_EQ(window.Label2->Caption(), Ansi(" 0% réalisé en 33s "));
    EXPECT_EQ(window.Totale->Caption(), ">55mn");
    EXPECT_EQ(window.Restante->Caption(), "55mn");

    window.SetPosition(100);
    EXPECT_EQ(window.Totale->Caption(), "33s");
    EXPECT_EQ(window.Restante->Caption(), "0s");
}

TEST_F(ProgressionTest, TheBarAtZeroOneAndOneHundred) {
    TProgression window(App(), nullptr, Clock());
    window.Show();
    const Bitmap& s = window.Surface();
    TColor track = SubtractColors(MixColors(clWhite, TColor(0x00FFFF), 0.2), TColor(0x101010));
    TColor bar = AddColors(TColor(0xFF0000), TColor(0x3E3E3E));
    auto barColumns = [&] {
        int count = 0;
        for (int x = 21; x < 570; ++x)
            count += s.Pixel(x, 55) == bar ? 1 : 0;
        return count;
    };
    window.SetPosition(0);
    window.Invalidate();
    App().PaintAll();
    EXPECT_EQ(barColumns(), 0);
    EXPECT_EQ(s.Pixel(30, 55), track);
    window.SetPosition(1);
    App().PaintAll();
    EXPECT_EQ(barColumns(), 5); // columns 21-25: the frame takes the box's outer columns
    EXPECT_EQ(s.Pixel(20, 55), clWhite);
    EXPECT_EQ(s.Pixel(26, 55), TColor::Rgb(70, 70, 70));
    window.SetPosition(100);
    App().PaintAll();
    EXPECT_EQ(barColumns(), 549);
    EXPECT_EQ(s.Pixel(570, 60), TColor::Rgb(70, 70, 70));
}

TEST_F(ProgressionTest, SetPositionRepaintsOnlyTheStripThatChanged) {
    RecordingProgression window(App(), nullptr, Clock());
    window.Show();
    window.BarStrips.clear();
    window.SetPosition(50);
    window.SetPosition(50);
    window.SetPosition(0);
    window.SetPosition(3);
    ASSERT_EQ(window.BarStrips.size(), 3u);
    EXPECT_EQ(window.BarStrips[0], (IntRect{19 + 6, 50, 21 + 275, 70}));
    EXPECT_EQ(window.BarStrips[1], (IntRect{19 + 275, 50, 21, 70})); // shrinking: an empty strip
    EXPECT_EQ(window.BarStrips[2], (IntRect{19, 50, 21 + 16, 70}));
}

TEST_F(ProgressionTest, InterrompreAndClosingWriteInterrompuAndShowingClearsIt) {
    UseScript("wait Copie\nclick Interrompre\nclose\n");
    TProgression window(App(), nullptr, Clock());
    window.SetCaption("Copie");
    window.Label2->SetCaption(Ansi("Réalisé"));
    window.Show();
    window.SetPosition(10);
    EXPECT_EQ(window.Label2->Caption(), "interrompu");
    EXPECT_TRUE(window.Visible());
    window.Show(); // already visible: nothing to clear
    window.Hide();
    window.Show();
    EXPECT_EQ(window.Label2->Caption(), Ansi("Réalisé"));
    now_ += Second;
    window.SetPosition(20); // the close request
    EXPECT_EQ(window.Label2->Caption(), "interrompu");
    EXPECT_FALSE(window.Visible());
}

// A reader hears the title, the current item, then the bar's value, which follows every move; "Interrompre"
// is a button that Tab reaches but nothing focuses at first, so no key typed ahead interrupts the work.
TEST_F(ProgressionTest, AReaderHearsTheBarsValueAfterTheTitleAndTheItem) {
    TProgression window(App(), nullptr, Clock());
    window.Label1->SetCaption("Extraction");
    window.Label6->SetCaption("Extraction de A.TXT");
    window.Show();
    window.SetPosition(42);
    AccessibleTree tree = window.Describe();
    ASSERT_GE(tree.Children.size(), 4u);
    EXPECT_EQ(tree.Children[1].Name, "Extraction de A.TXT");
    EXPECT_EQ(tree.Children[2].Role, AccessibleRole::ProgressBar);
    EXPECT_EQ(tree.Children[2].Value, "42 %");
    EXPECT_EQ(tree.Children.back().Name, "Interrompre");
    EXPECT_EQ(tree.Children.back().States, AccessibleState::Focusable);
    EXPECT_FALSE(window.DialogKey(VirtualKey::Return));
    window.SetPosition(43);
    EXPECT_EQ(window.Describe().Children[2].Value, "43 %");
    EXPECT_TRUE(window.DialogKey(VirtualKey::Tab));
    EXPECT_TRUE(window.DialogKey(VirtualKey::Space));
    EXPECT_EQ(window.Label2->Caption(), "interrompu");
}

TEST(InterruptGlyphTest, RedCrossWithHighlightsAndShadowsOnSilver) {
    Bitmap glyph = InterruptGlyph();
    EXPECT_EQ(glyph.Width(), 16);
    EXPECT_EQ(glyph.Height(), 16);
    EXPECT_EQ(glyph.Pixel(0, 0), clSilver);
    EXPECT_EQ(glyph.Pixel(7, 7), TColor::Rgb(224, 0, 0));
    EXPECT_EQ(glyph.Pixel(7, 8), TColor::Rgb(224, 0, 0));
    EXPECT_EQ(glyph.Pixel(1, 1), clWhite);
    EXPECT_EQ(glyph.Pixel(14, 14), TColor::Rgb(128, 0, 0));
    EXPECT_EQ(glyph.Pixel(15, 0), clSilver);
}

} // namespace
} // namespace vendora::test
