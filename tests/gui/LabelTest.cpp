// The framework's label and speed button, and the text layout under them.
#include "gui/Label.h"
#include "gui/SpeedButton.h"
#include "gui/TextLayout.h"
#include "platform/Platform.h"
#include "tests/support/Pixels.h"
#include "tests/support/WindowTest.h"

namespace vendora::test {
namespace {

constexpr int A = TextShape::Blocks.Advance;
constexpr int Cell = TextShape::Blocks.Ascent + TextShape::Blocks.Descent;

class LabelTest : public WhiteFormTest {
protected:
    Label* NewLabel(const AnsiString& caption) {
        auto* label = new Label(form_);
        label->SetParent(form_);
        label->SetCaption(caption);
        return label;
    }
};

TEST_F(LabelTest, AutoSizeTakesTheTextSizeAndAnEmptyCaptionKeepsOneLine) {
    Label* label = NewLabel("abcd");
    EXPECT_EQ(label->Width(), 4 * A);
    EXPECT_EQ(label->Height(), Cell);
    label->SetCaption(AnsiString("ab\rcdef\r\nx"));
    EXPECT_EQ(label->Width(), 4 * A);
    EXPECT_EQ(label->Height(), 3 * Cell);
    label->SetCaption("");
    EXPECT_EQ(label->Width(), A);
    EXPECT_EQ(label->Height(), Cell);
    label->SetAutoSize(false);
    label->SetCaption("a much longer caption");
    EXPECT_EQ(label->Width(), A);
}

TEST_F(LabelTest, ARightAlignedLabelKeepsItsRightEdge) {
    Label* label = NewLabel("?");
    label->SetAlignment(TextAlignment::Right);
    label->SetLeft(161 - label->Width());
    label->SetCaption("01mn05s");
    EXPECT_EQ(label->Left() + label->Width(), 161);
    EXPECT_EQ(label->Width(), 7 * A);
    label->SetCaption("0s");
    EXPECT_EQ(label->Left() + label->Width(), 161);
}

TEST_F(LabelTest, WordWrapBreaksAtBlanksWithinTheWidth) {
    Label* label = NewLabel("");
    label->SetWordWrap(true);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 10 * A, 100);
    std::vector<TextLine> lines =
        LayoutText(engine_, {}, "un deux trois quatre cinqsixseptneuf x", {true, 10 * A});
    // A word wider than the line keeps a line of its own.
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].Text, "un deux");
    EXPECT_EQ(lines[1].Text, "trois");
    EXPECT_EQ(lines[2].Text, "quatre");
    EXPECT_EQ(lines[3].Text, "cinqsixseptneuf");
    EXPECT_EQ(lines[4].Text, "x");
    label->SetAutoSize(true);
    label->SetCaption("un deux trois");
    EXPECT_EQ(label->Width(), 10 * A);
    EXPECT_EQ(label->Height(), 2 * Cell);
}

TEST_F(LabelTest, OpaqueLabelsFillTheirAreaAndTransparentOnesOnlyDrawText) {
    Label* opaque = NewLabel("a");
    opaque->SetColor(TColor::Rgb(1, 254, 254));
    opaque->SetBounds(10, 10, 20, 20);
    Label* transparent = NewLabel("a");
    transparent->SetTransparent(true);
    transparent->SetBounds(100, 10, 20, 20);
    transparent->GetFont().Color = clBlack;
    const Bitmap& s = Painted();
    EXPECT_EQ(s.Pixel(29, 29), TColor::Rgb(1, 254, 254));
    EXPECT_EQ(s.Pixel(119, 29), clWhite);
    EXPECT_EQ(s.Pixel(101, 11), clBlack);
}

TEST_F(LabelTest, CentredTextInTheMiddleOfItsArea) {
    Label* label = NewLabel("ab");
    label->SetAutoSize(false);
    label->SetAlignment(TextAlignment::Center);
    label->SetLayout(TextLayoutKind::Center);
    label->SetBounds(0, 0, 100, 50);
    label->GetFont().Color = clBlack;
    const Bitmap& s = Painted();
    int x = (100 - 2 * A) / 2;
    int y = (50 - Cell) / 2;
    EXPECT_EQ(s.Pixel(x + 1, y + 1), clBlack);
    EXPECT_NE(s.Pixel(x, y + 1), clBlack);
    EXPECT_EQ(CountPixels(s, {0, 0, 100, 50}, clBlack), 2 * 4 * 9);
    EXPECT_EQ(CountPixels(s, {0, 0, 100, y + 1}, clBlack), 0);
}

TEST_F(LabelTest, HotKeyPrefixesAreStrippedAndTheirLetterUnderlined) {
    HotKeyText t = StripHotKey("Ann&uler");
    EXPECT_EQ(t.Text, "Annuler");
    EXPECT_EQ(t.Underline, 3);
    EXPECT_EQ(StripHotKey("a&&b").Text, "a&b");
    EXPECT_EQ(StripHotKey("a&&b").Underline, -1);
    EXPECT_EQ(StripHotKey("Ok&").Text, "Ok&");

    Label* label = NewLabel("&Oui");
    label->SetLeft(10);
    label->GetFont().Color = clBlack;
    const Bitmap& s = Painted();
    int underline = TextShape::Blocks.Ascent + 1;
    EXPECT_EQ(CountPixels(s, {10, underline, 10 + 3 * A, underline + 1}, clBlack), A);
}

TEST_F(LabelTest, RightToLeftReadingSwapsTheNeutralEndsOfAParagraph) {
    EXPECT_EQ(RightToLeftVisual("abc def.", true, true), ".abc def");
    EXPECT_EQ(RightToLeftVisual("\"abc\" <Suppr>", true, true), "<abc\" <Suppr\"");
    EXPECT_EQ(RightToLeftVisual("-- abc", true, true), "abc --");
    EXPECT_EQ(RightToLeftVisual("abc.", false, false), "abc.");
    EXPECT_EQ(RightToLeftVisual("...", true, true), "...");
    EXPECT_EQ(RightToLeftVisual("(.", true, true), ".)");
}

TEST_F(LabelTest, SpeedButtonDrawsRaisedAndPressedAndClicksOnRelease) {
    auto* button = new SpeedButton(form_);
    button->SetParent(form_);
    button->SetBounds(20, 20, 135, 27);
    button->SetCaption("&Oui");
    button->GetFont().Color = clBlack;
    int clicks = 0;
    button->OnClick = [&](Control&) { ++clicks; };
    const Bitmap& s = Painted();
    TColor face = RgbOf(clBtnFace, machine_);
    TColor light = RgbOf(TColor::System(SysColor::BtnHighlight), machine_);
    EXPECT_EQ(s.Pixel(20, 20), light);
    EXPECT_EQ(s.Pixel(154, 46), clBlack);
    EXPECT_EQ(s.Pixel(30, 30), face);
    // Caption centred: three characters, the first one underlined.
    int textX = 20 + (135 - 3 * A) / 2;
    int textY = 20 + (27 - Cell + 1) / 2;
    EXPECT_EQ(s.Pixel(textX + 1, textY + 1), clBlack);
    EXPECT_EQ(
        CountPixels(s, IntRect::FromSize(textX, textY + TextShape::Blocks.Ascent + 1, 3 * A, 1), clBlack), A);

    form_->MouseDown(MouseButton::Left, 30, 30);
    App().PaintAll();
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(s.Pixel(20, 20), RgbOf(TColor::System(SysColor::BtnShadow), machine_));
    EXPECT_EQ(s.Pixel(textX + 2, textY + 2), clBlack);
    EXPECT_EQ(clicks, 0);
    form_->MouseUp(MouseButton::Left, 30, 30);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->Down());
}

TEST_F(LabelTest, SpeedButtonGlyphSitsLeftOfTheCaptionWithoutItsTransparentColour) {
    auto* button = new SpeedButton(form_);
    button->SetParent(form_);
    button->SetBounds(0, 0, 135, 27);
    button->SetCaption("Ok");
    Bitmap glyph(8, 8, clSilver); // the bottom-left pixel's colour is transparent
    glyph.SetPixel(3, 3, clRed);
    button->SetGlyph(glyph);
    const Bitmap& s = Painted();
    int glyphX = (135 - (8 + 4 + 2 * A)) / 2;
    int glyphY = (27 - 8 + 1) / 2;
    EXPECT_EQ(s.Pixel(glyphX + 3, glyphY + 3), clRed);
    EXPECT_EQ(CountPixels(s, button->BoundsRect(), clSilver), 0);
    EXPECT_EQ(CountPixels(s, button->BoundsRect(), clRed), 1);
}

} // namespace
} // namespace vendora::test
