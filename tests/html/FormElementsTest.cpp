// Form elements drawn in markup: field boxes, labels, text areas and buttons, with the fixed-metrics
// engine (7 pixels per character; "Tahoma" 6 points has a cell of 11, 10 points a cell of 16).

#include "HtmlCanvas.h"

#include "html/FormElements.h"

namespace vendora::test {
namespace {

using FormElements = HtmlCanvas;

constexpr TColor Grey = TColor::Rgb(128, 128, 128);
constexpr TColor Silver = TColor::Rgb(192, 192, 192);
constexpr TColor Shadow = TColor::Rgb(191, 191, 191); // white darkened by 64
constexpr TColor PaleYellow = TColor::Rgb(255, 255, 225);
constexpr TColor Red = TColor::Rgb(255, 0, 0);
constexpr TColor XpButtonFace = TColor::Rgb(236, 233, 216);

TEST_F(FormElements, ABareInputIsAFieldBoxWithTwoEmptyLabelsAndMovesThePen169) {
    EXPECT_EQ(Draw("<INPUT>a", 10, 30, 600), 30 + 23);
    // The sunken frame over columns 10 to 175 and rows 30 to 51.
    EXPECT_EQ(At(10, 51), Grey);
    EXPECT_EQ(At(10, 40), Grey);
    EXPECT_EQ(At(100, 30), Grey);
    EXPECT_EQ(At(175, 30), Grey);
    EXPECT_EQ(At(11, 50), clBlack);
    EXPECT_EQ(At(100, 31), clBlack);
    EXPECT_EQ(At(174, 31), clBlack);
    EXPECT_EQ(At(11, 51), Silver);
    EXPECT_EQ(At(175, 51), Silver);
    EXPECT_EQ(At(175, 31), Silver);
    EXPECT_EQ(At(100, 40), clWhite);
    EXPECT_EQ(At(176, 30), clWhite);
    EXPECT_EQ(At(10, 52), clWhite);

    // The name label: 6 x 6 with its right edge 7 left of the field's, from row 29.
    EXPECT_EQ(At(162, 29), Silver);
    EXPECT_EQ(At(162, 34), Silver);
    EXPECT_EQ(At(167, 29), Silver);
    EXPECT_EQ(At(167, 34), clBlack);
    EXPECT_EQ(At(168, 30), clBlack);
    EXPECT_EQ(At(165, 35), clBlack);
    EXPECT_EQ(At(164, 31), PaleYellow);
    EXPECT_EQ(At(161, 33), clWhite);
    EXPECT_EQ(At(169, 33), Shadow);
    EXPECT_EQ(At(171, 38), Shadow);
    EXPECT_EQ(At(166, 36), Shadow);
    EXPECT_EQ(At(172, 33), clWhite);
    EXPECT_EQ(At(171, 39), clWhite);

    // The kind label: 6 x 6 from 4 right of the field's left edge, from row 27.
    EXPECT_EQ(At(14, 27), Silver);
    EXPECT_EQ(At(20, 33), clBlack);
    EXPECT_EQ(At(16, 29), Red);
    EXPECT_EQ(At(13, 29), clWhite);
    EXPECT_EQ(At(22, 34), Shadow);
    EXPECT_EQ(At(22, 30), TColor::Rgb(64, 64, 64)); // the frame's grey under the shadow

    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].X, 10 + 169);
    EXPECT_EQ(words[0].Y, 30);
}

TEST_F(FormElements, AFieldValueIsDrawnInsideTheBox) {
    Draw("<INPUT VALUE=\"Dupont\" NAME=\"Nom\" TYPE=Date>", 10, 30, 600);
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].Text, "Dupont");
    EXPECT_EQ(words[0].X, 13);
    EXPECT_EQ(words[0].Y, 33);
    EXPECT_EQ(words[0].Font.Name, "Microsoft Sans Serif");
    EXPECT_EQ(words[0].Font.Height, -13);
    // The name label is right-aligned: 3 characters, 27 pixels wide, ending at 168.
    EXPECT_EQ(words[1].Text, "Nom");
    EXPECT_EQ(words[1].X, 168 - 27 + 3);
    EXPECT_EQ(words[1].Y, 32);
    EXPECT_EQ(words[1].Color, TColor::Rgb(128, 0, 128));
    EXPECT_EQ(words[1].Font.Height, -8);
    EXPECT_EQ(words[2].Text, "date");
    EXPECT_EQ(words[2].X, 17);
    EXPECT_EQ(words[2].Y, 30);
    EXPECT_EQ(words[2].Color, clWhite);
}

TEST_F(FormElements, AFieldMovesToANewLineOnlyWhenItDoesNotStartOne) {
    // "abcdefg" ends at 59; 59 + 165 passes 210.
    EXPECT_EQ(Draw("abcdefg<INPUT>x"), 5 + Cell + 23);
    EXPECT_EQ(At(10, 5 + Cell + 21), Grey);
    EXPECT_EQ(engine.Words().back().X, 179);
    EXPECT_EQ(engine.Words().back().Y, 5 + Cell);

    // At the line start it stays, and its end past the right edge sends what follows to a new line.
    surface.Fill(clWhite);
    engine.Drawn.clear();
    EXPECT_EQ(Draw("<INPUT>x", 10, 5, 150), 5 + 23 + Cell);
    EXPECT_EQ(At(10, 26), Grey);
    EXPECT_EQ(engine.Words().back().X, 10);
    EXPECT_EQ(engine.Words().back().Y, 5 + 23);
}

TEST_F(FormElements, ATextAreaIs340By53ByDefaultAndClipsItsLinesAtTheBottom) {
    EXPECT_EQ(Draw("<TEXTAREA>Bonjour</TEXTAREA>", 10, 5, 600), 5 + 53);
    EXPECT_EQ(At(10, 58), Grey);
    EXPECT_EQ(At(350, 5), Grey);
    EXPECT_EQ(At(349, 58), Silver);
    EXPECT_EQ(At(351, 5), clWhite);
    auto words = engine.Words();
    ASSERT_EQ(words.size(), 1u + 11u);
    EXPECT_EQ(words[0].Text, "Bonjour");
    EXPECT_EQ(words[0].X, 13);
    EXPECT_EQ(words[0].Y, 8);
    EXPECT_EQ(words[1].Text, "<"); // the closing tag is drawn as text after the box
    EXPECT_EQ(words[1].X, 10 + 344);

    engine.Drawn.clear();
    Draw("<TEXTAREA ROWS=1>un\rdeux</TEXTAREA>");
    words = engine.Words();
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(words[0].Text, "un");
    EXPECT_EQ(words[1].Text, "<");
}

TEST_F(FormElements, AButtonIsAFacedBoxAsWideAsItsCaptionPlus20) {
    // "Ok" is 14 pixels: the button is 34 wide.
    EXPECT_EQ(Draw("<INPUT TYPE=submit VALUE=\"Ok\">z"), 5 + Cell);
    EXPECT_EQ(At(11, 7), XpButtonFace);
    EXPECT_EQ(At(41, 26), XpButtonFace);
    EXPECT_EQ(At(11, 27), Grey);
    EXPECT_EQ(At(42, 27), Grey);
    EXPECT_EQ(At(42, 7), Grey);
    EXPECT_EQ(At(42, 6), clWhite);
    EXPECT_EQ(At(10, 28), clBlack);
    EXPECT_EQ(At(43, 28), clBlack);
    EXPECT_EQ(At(43, 6), clBlack);
    EXPECT_EQ(At(43, 5), clWhite);
    EXPECT_EQ(At(10, 27), clWhite);
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].Text, "Ok");
    EXPECT_EQ(words[0].X, 20);
    EXPECT_EQ(words[0].Y, 8);
    EXPECT_EQ(words[0].Font.Name, "Microsoft Sans Serif");
    EXPECT_EQ(words[1].X, 10 + 38);
}

TEST_F(FormElements, HintBoxesHaveAFrameAShadowAndOneLinePerCarriageReturn) {
    canvas.GetPen().Color = clBlack;
    const Font font = canvas.GetFont();
    const Brush brush = canvas.GetBrush();
    DrawHintBox(canvas, 50, 20, false, clWhite, Red, 6, "  ab  #13c");
    // Two lines of 11: 28 high; the widest trimmed line is 14: 20 wide.
    EXPECT_EQ(At(50, 20), Silver);
    EXPECT_EQ(At(50, 47), Silver);
    EXPECT_EQ(At(69, 20), Silver);
    EXPECT_EQ(At(70, 48), clBlack);
    EXPECT_EQ(At(50, 48), clBlack);
    EXPECT_EQ(At(70, 21), clBlack);
    EXPECT_EQ(At(70, 20), clWhite);
    EXPECT_EQ(At(69, 47), clBlack);
    EXPECT_EQ(At(51, 21), Red);
    EXPECT_EQ(At(72, 40), Shadow);
    EXPECT_EQ(At(73, 51), Shadow);
    // The first line is drawn with its spaces, on the label's colour: its cell runs past the label.
    EXPECT_EQ(At(90, 24), Red);
    EXPECT_EQ(At(53, 49), Shadow);
    EXPECT_EQ(At(74, 51), clWhite);
    EXPECT_EQ(At(52, 49), clWhite);
    ASSERT_EQ(engine.Drawn.size(), 2u);
    EXPECT_EQ(engine.Drawn[0].Text, "  ab  "); // measured trimmed, drawn as written
    EXPECT_EQ(engine.Drawn[0].X, 53);
    EXPECT_EQ(engine.Drawn[0].Y, 23);
    EXPECT_EQ(engine.Drawn[1].Y, 34);
    EXPECT_EQ(engine.Drawn[1].Font.Name, "Tahoma");
    EXPECT_EQ(canvas.GetFont(), font);
    EXPECT_EQ(canvas.GetBrush(), brush);
    EXPECT_EQ(canvas.GetPen().Color, clBlack);

    engine.Drawn.clear();
    DrawHintBox(canvas, 200, 20, true, clWhite, Red, 6, "ab#13c");
    EXPECT_EQ(engine.Drawn[0].X, 200 - 20 + 3);
    EXPECT_EQ(At(180, 20), Silver);
}

TEST_F(FormElements, AnEmptyHintIsSixPixelsSquare) {
    canvas.GetPen().Color = clBlack;
    DrawHintBox(canvas, 50, 20, false, clWhite, Red, 6, "");
    EXPECT_EQ(At(50, 26), clBlack);
    EXPECT_EQ(At(56, 21), clBlack);
    EXPECT_EQ(At(56, 26), clBlack);
    EXPECT_EQ(At(56, 20), clWhite);
    EXPECT_EQ(At(57, 26), Shadow);
    EXPECT_EQ(At(59, 29), Shadow);
    EXPECT_EQ(At(60, 29), clWhite);
    EXPECT_TRUE(engine.Drawn.empty());
}

TEST_F(FormElements, FieldTextBreaksAfterSpacesInsideLongWordsAndAtCarriageReturns) {
    EXPECT_EQ(WrapFieldText(canvas, 50, ""), TableauDeLignes{""});
    EXPECT_EQ(WrapFieldText(canvas, 50, "aaa bbb ccc"), (TableauDeLignes{"aaa ", "bbb ", "ccc"}));
    EXPECT_EQ(WrapFieldText(canvas, 40, "abcdefghij"), (TableauDeLignes{"abcd", "efgh", "ij"}));
    EXPECT_EQ(WrapFieldText(canvas, 100, "ab\r\rcd"), (TableauDeLignes{"ab", "", "cd"}));
    EXPECT_EQ(WrapFieldText(canvas, 100, "un\r\ndeux"), (TableauDeLignes{"un", "deux"}));
    EXPECT_EQ(WrapFieldText(canvas, 100000, std::string(300, 'x')).front().size(), 255u);
}

TEST_F(FormElements, FieldTextNarrowerThanACharacterStillEnds) {
    EXPECT_EQ(WrapFieldText(canvas, 0, "abc"), (TableauDeLignes{"a", "b", "c"}));
    EXPECT_EQ(WrapFieldText(canvas, -40, "a c"), (TableauDeLignes{"a", " ", "c"}));
    // Between 6 and one character plus 6: an empty line would leave the text as it was.
    EXPECT_EQ(WrapFieldText(canvas, 10, "abc"), (TableauDeLignes{"a", "b", "c"}));
    // A field of size 0 with a value, and a text area with no columns, are drawn and the call ends.
    EXPECT_EQ(Draw("<INPUT SIZE=0 VALUE=\"abc\"><TEXTAREA COLS=-3>xyz"), 5 + 53);
}

} // namespace
} // namespace vendora::test
