// Layout and painting with a text engine of fixed metrics: 7 pixels per character, a cell of 16 for the
// renderer's "Tahoma" 10 points and of 14 for the caller's font, so every coordinate is known.

#include "HtmlCanvas.h"

#include "base/Cp1252.h"
#include "base/Errors.h"

namespace vendora::test {
namespace {

using Layout = HtmlCanvas;

std::vector<std::pair<int, int>> Positions(const std::vector<DrawnText>& drawn) {
    std::vector<std::pair<int, int>> at;
    for (const DrawnText& d : drawn)
        at.emplace_back(d.X, d.Y);
    return at;
}

TEST_F(Layout, AnEmptyTextTakesOneLineOfTheCallersFont) {
    EXPECT_EQ(Draw(""), 5 + CallerCell);
    canvas.GetFont().SetHeight(-20);
    EXPECT_EQ(Draw("", 0, 100), 100 + 23);
    EXPECT_TRUE(engine.Drawn.empty());
    EXPECT_TRUE(WhiteArea(0, 0, surface.Width(), surface.Height()));
}

TEST_F(Layout, ATextWithoutTagsIsOneFinalRunBrokenInsideWords) {
    // Right edge 45: five characters fit from x 10.
    EXPECT_EQ(Draw("abcdefghij &amp;", 10, 5, 35), 5 + 3 * Cell);
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].Text, "abcde");
    EXPECT_EQ(words[1].Text, "fghij");
    EXPECT_EQ(words[2].Text, "&amp;"); // not decoded
    EXPECT_EQ(Positions(words), (std::vector<std::pair<int, int>>{{10, 5}, {10, 21}, {10, 37}}));
    EXPECT_EQ(words[0].Font.Name, "Tahoma");
    EXPECT_EQ(words[0].Font.Height, -13);
}

TEST_F(Layout, TheFinalRunBreaksAfterASpaceAndDropsTheSpacesAtTheBreak) {
    Draw("aaa bbb   ccc", 10, 5, 60);
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].Text, "aaa bbb ");
    EXPECT_EQ(words[1].Text, "ccc");
    EXPECT_EQ(words[1].X, 10);
}

TEST_F(Layout, TheFinalRunDrawsAtMost255CharactersAtOnce) {
    EXPECT_EQ(Draw(std::string(300, 'x'), 0, 0, 100000), 2 * Cell);
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].Text.size(), 255u);
    EXPECT_EQ(words[1].Text.size(), 45u);
    EXPECT_EQ(words[1].Y, Cell);
}

TEST_F(Layout, WordsWrapAndTheNextLineStartsAfterTheCarriedPixel) {
    // Right edge 100. "cccc " no longer fits at 80: the pixel column left of the end of "bbbb " goes with
    // it, so the new line starts one pixel in.
    EXPECT_EQ(Draw("aaaa bbbb cccc dd<P>", 10, 5, 90), 5 + 2 * Cell + CallerCell);
    EXPECT_EQ(Positions(engine.Words()),
              (std::vector<std::pair<int, int>>{{10, 5}, {45, 5}, {11, 21}, {46, 21}}));
}

TEST_F(Layout, AWordContinuingAfterATagMovesToTheNextLineAsAWhole) {
    // "l'" is drawn at 45 after "aaaa " (glue point 44); "avion" does not fit before 70.
    Draw("aaaa l'<U>avion</U> b<P>", 10, 5, 60);
    EXPECT_TRUE(GlyphAt(11, 21));          // the "l" copied to the next line, one pixel in
    EXPECT_TRUE(GlyphAt(18, 21));          // and its apostrophe
    EXPECT_TRUE(WhiteArea(44, 5, 59, 21)); // painted over where it was
    EXPECT_TRUE(GlyphAt(10, 5));           // "aaaa " stays
    const auto words = engine.Words();
    ASSERT_GE(words.size(), 3u);
    EXPECT_EQ(words[2].Text, "avion");
    EXPECT_EQ(words[2].X, 25);
    EXPECT_EQ(words[2].Y, 21);
    EXPECT_TRUE(words[2].Font.Underline);
}

TEST_F(Layout, AWordWiderThanTheWidthAtTheLineStartOverflows) {
    EXPECT_EQ(Draw("wwwwwwwwwwwwwww<P>", 10, 5, 50), 5 + Cell + CallerCell);
    EXPECT_EQ(Positions(engine.Words()), (std::vector<std::pair<int, int>>{{10, 5}}));
    EXPECT_TRUE(GlyphAt(10 + 14 * W, 5)); // past the right edge: nothing is clipped
}

TEST_F(Layout, BoldAtTheLineStartMakesAnOverlongWordLeaveAnEmptyLine) {
    EXPECT_EQ(Draw("<B>wwwwwwwwww<P>", 10, 5, 50), 5 + CallerCell + Cell + CallerCell);
    EXPECT_EQ(Positions(engine.Words()), (std::vector<std::pair<int, int>>{{10, 5 + CallerCell}}));
}

TEST_F(Layout, CentredAndRightAlignedLinesCountTheirTrailingSpace) {
    // Right edge 210; "abc " ends at 38: centred shift (210 - 38) / 2 = 86, right shift 210 - 38 - 5.
    EXPECT_EQ(Draw("gauche <P CENTER>abc <P>"), 5 + 2 * Cell + CallerCell);
    EXPECT_TRUE(GlyphAt(10, 5)); // the line ended by "<P CENTER>" keeps its alignment
    EXPECT_TRUE(GlyphAt(10 + 86, 21));
    EXPECT_TRUE(WhiteArea(10, 21, 96, 37));

    surface.Fill(clWhite);
    Draw("<P RIGHT>abc <P>");
    EXPECT_TRUE(GlyphAt(10 + 167, 5 + CallerCell));
    EXPECT_TRUE(WhiteArea(10, 5 + CallerCell, 177, 5 + CallerCell + Cell));
}

TEST_F(Layout, CentringTruncatesAndCountsACarriedFragment) {
    // "abc" as a final run ends at 31: (210 - 31) / 2 = 89.5, taken as 89.
    Draw("<P CENTER>abc");
    EXPECT_TRUE(GlyphAt(10 + 89, 5 + CallerCell));
    // A wrap shifts the line by its width before the fragment left it: "aaaa l'" ends at 59, right edge
    // 70, shift (70 - 59) / 2 = 5; the fragment's own pixels are gone from it.
    surface.Fill(clWhite);
    Draw("<P CENTER>aaaa l'<U>avion<P>", 10, 5, 60);
    EXPECT_TRUE(GlyphAt(15, 5 + CallerCell));
    EXPECT_TRUE(WhiteArea(10, 5 + CallerCell, 15, 5 + CallerCell + Cell));
}

TEST_F(Layout, ParagraphsAndEmptyLinesUseTheCallersFontHeight) {
    canvas.GetFont().SetHeight(-20); // a cell of 23
    EXPECT_EQ(Draw("a<P><P>b"), 5 + Cell + 23 + Cell);
    EXPECT_EQ(Positions(engine.Words()), (std::vector<std::pair<int, int>>{{10, 5}, {10, 5 + Cell + 23}}));
    EXPECT_EQ(Draw("a"), 5 + Cell);
    EXPECT_EQ(Draw("a<P>"), 5 + Cell + 23);
}

TEST_F(Layout, IndentationStepsAreAThirdOfAnInchAndHaveNoLowerLimit) {
    EXPECT_EQ(Draw("<BLOCKQUOTE><BLOCKQUOTE>a"), 5 + Cell);
    EXPECT_EQ(engine.Words().back().X, 10 + 64);

    engine.Drawn.clear();
    Draw("x</BLOCKQUOTE>b", 50);
    EXPECT_EQ(Positions(engine.Words()), (std::vector<std::pair<int, int>>{{50, 5}, {18, 5 + Cell}}));

    engine.Drawn.clear();
    canvas.GetFont().PixelsPerInch = 120; // 10 points are then 17 pixels: a cell of 20
    Draw("<DIR>a</DIR>b", 50);
    EXPECT_EQ(Positions(engine.Words()), (std::vector<std::pair<int, int>>{{90, 5}, {50, 5 + 20}}));
}

TEST_F(Layout, ARuleSitsOneLineBelowAndTheTextOneLineFurther) {
    EXPECT_EQ(Draw("<HR>"), 5 + 3 * CallerCell);
    const int row = 5 + CallerCell;
    EXPECT_EQ(At(10, row), clBlack);
    EXPECT_EQ(At(209, row), clBlack);
    EXPECT_EQ(At(210, row), clWhite);
    EXPECT_EQ(At(9, row), clWhite);

    surface.Fill(clWhite);
    EXPECT_EQ(Draw("abc<HR>d"), 5 + 3 * Cell);
    EXPECT_EQ(At(10, 5 + Cell), clBlack);
    EXPECT_EQ(engine.Words().back().Y, 5 + 2 * Cell);
}

TEST_F(Layout, StyleTagsNudgeThePen) {
    Draw("a<I>b</I>c<B>d</B>e</U>f<U>g<P>");
    // a 10-17; italic on 16; b 16-23; italic off 24; c 24-31; bold on 32; d 32-39; e 39-46; underline off 47.
    EXPECT_EQ(Positions(engine.Words()), (std::vector<std::pair<int, int>>{
                                             {10, 5}, {16, 5}, {24, 5}, {32, 5}, {39, 5}, {47, 5}, {54, 5}}));
    const auto words = engine.Words();
    EXPECT_TRUE(words[1].Font.Italic);
    EXPECT_TRUE(words[3].Font.Bold);
    EXPECT_FALSE(words[4].Font.Bold);
    EXPECT_TRUE(words[6].Font.Underline);
}

TEST_F(Layout, BoldGrowsAPointWhenItsCellComesOutShorter) {
    engine.BoldCellDelta = -1;
    Draw("<B>a</B>b<P>");
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].Font.Height, -15); // 11 points
    EXPECT_TRUE(words[0].Font.Bold);
    EXPECT_EQ(words[1].Font.Height, -13); // back to 10
}

TEST_F(Layout, FontTagsPushAndPopTheWholeFont) {
    Draw("<FONT COLOR=#FF0000 SIZE=15><B>a</FONT>b</B></FONT>c<H1>d</H1>e<P>");
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 5u);
    EXPECT_EQ(words[0].Color, TColor::Rgb(255, 0, 0));
    EXPECT_EQ(words[0].Font.Height, -20);
    EXPECT_TRUE(words[0].Font.Bold);
    EXPECT_EQ(words[1].Color, clBlack);
    EXPECT_FALSE(words[1].Font.Bold);
    EXPECT_EQ(words[1].Font.Height, -13);
    EXPECT_EQ(words[2].Font, words[1].Font); // an unmatched "</FONT>" changes nothing
    EXPECT_EQ(words[3].Font.Height, -21);    // 16 points
    EXPECT_TRUE(words[3].Font.Bold);
    EXPECT_EQ(words[4].Font, words[1].Font);
}

TEST_F(Layout, ALinkIsBlueAndUnderlinedOnlyWithAnHref) {
    Draw("<A HREF=\"x\">a</A><A NAME=\"y\">b</A>c<P>");
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].Color, TColor::Rgb(0, 0, 255));
    EXPECT_TRUE(words[0].Font.Underline);
    EXPECT_EQ(words[1].Color, clBlack);
    EXPECT_FALSE(words[1].Font.Underline);
}

TEST_F(Layout, ShadowedInnerWordsGetABlackCopyBehindThem) {
    Draw("<FONT COLOR=#FF0000><O>ab <P>cd");
    ASSERT_EQ(engine.Drawn.size(), 3u);
    EXPECT_EQ(engine.Drawn[0].X, 11);
    EXPECT_EQ(engine.Drawn[0].Y, 6);
    EXPECT_EQ(engine.Drawn[0].Color, clBlack);
    EXPECT_EQ(engine.Drawn[1].X, 10);
    EXPECT_EQ(engine.Drawn[1].Color, TColor::Rgb(255, 0, 0));
    EXPECT_EQ(engine.Drawn[2].Text, "cd"); // the final run has no shadow
}

TEST_F(Layout, AHighlightPaintsTheCellsOfTheTextAfterIt) {
    Draw("<S>ab</S> cd");
    EXPECT_EQ(At(10, 5), TColor::Rgb(255, 255, 153));
    EXPECT_EQ(At(23, 20), TColor::Rgb(255, 255, 153));
    EXPECT_EQ(At(10 + 14 + 8, 5), clWhite);
}

TEST_F(Layout, AnUnknownTagIsDrawnAsItsCharactersAndBrokenAtTheEdge) {
    // Right edge 30. The characters do not count for the line height: the breaks advance by the empty-line
    // height.
    Draw("<FONT COLOR=#FF0000><F12>x", 10, 5, 20);
    const auto& d = engine.Drawn;
    ASSERT_EQ(d.size(), 6u);
    EXPECT_EQ(Positions({d.begin(), d.begin() + 5}),
              (std::vector<std::pair<int, int>>{{10, 5}, {17, 5}, {10, 19}, {17, 19}, {10, 33}}));
    EXPECT_FALSE(d[0].Font.Bold);
    EXPECT_TRUE(d[1].Font.Bold && d[1].Font.Italic);
    EXPECT_TRUE(d[3].Font.Bold && d[3].Font.Italic);
    EXPECT_FALSE(d[4].Font.Bold || d[4].Font.Italic);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(d[i].Color, clBlack);
    EXPECT_EQ(d[5].Color, TColor::Rgb(255, 0, 0)); // colour and style come back
    EXPECT_FALSE(d[5].Font.Bold);
}

TEST_F(Layout, TextBeforeASecondBracketIsDrawnWithoutWrapping) {
    Draw("a <b <B>c", 10, 5, 20);
    const auto& d = engine.Drawn;
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[1].Text, "<b ");
    EXPECT_EQ(d[1].X, 24);
    EXPECT_EQ(d[1].Y, 5);
    EXPECT_EQ(d[2].X, 10); // the final run starts a new line: "<b " ran past the edge
    EXPECT_EQ(d[2].Y, 5 + Cell);
}

TEST_F(Layout, FinalTextThatNeverFitsStillTakesOneCharacterPerLine) {
    EXPECT_EQ(Draw("abc", 10, 5, 3), 5 + 3 * Cell);
    EXPECT_EQ(Positions(engine.Words()), (std::vector<std::pair<int, int>>{{10, 5}, {10, 21}, {10, 37}}));
    // Indented past the right edge.
    engine.Drawn.clear();
    EXPECT_EQ(Draw("<BLOCKQUOTE>ab", 10, 5, 20), 5 + 2 * Cell);
    EXPECT_EQ(Positions(engine.Words()), (std::vector<std::pair<int, int>>{{42, 5}, {42, 21}}));
    // Mid-line, the run first goes to a new line, where it then takes one character.
    engine.Drawn.clear();
    EXPECT_EQ(Draw("a<B>bc", 10, 5, 3), 5 + 3 * Cell);
}

TEST_F(Layout, AConversionErrorEndsTheCallAndRestoresTheCanvas) {
    Font& font = canvas.GetFont();
    font.Name = "Arial";
    font.SetHeight(-20);
    font.Color = TColor::Rgb(0, 128, 0);
    font.Style.Underline = true;
    canvas.GetBrush().SetColor(clYellow);
    canvas.GetPen().Color = clRed;
    canvas.GetPen().Style = PenStyle::Clear;
    const Font fontBefore = canvas.GetFont();
    const Brush brushBefore = canvas.GetBrush();
    const Pen penBefore = canvas.GetPen();

    try {
        Draw("<P CENTER>avant <FONT SIZE=9x>après");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), Ansi("'9x' n'est pas une valeur entière correcte"));
    }
    EXPECT_EQ(canvas.GetFont(), fontBefore);
    EXPECT_EQ(canvas.GetBrush(), brushBefore);
    EXPECT_EQ(canvas.GetPen(), penBefore);
    ASSERT_EQ(engine.Words().size(), 1u);
    EXPECT_EQ(engine.Words()[0].Text, "avant ");

    // The same on the way out of a call that completes.
    Draw("<B><FONT COLOR=#FF>x<P CENTER>y<S>z<HR><INPUT>");
    EXPECT_EQ(canvas.GetFont(), fontBefore);
    EXPECT_EQ(canvas.GetBrush(), brushBefore);
    EXPECT_EQ(canvas.GetPen(), penBefore);
}

TEST_F(Layout, AnErrorInAReferenceStopsBeforeItsWord) {
    EXPECT_THROW(Draw("un deux&#z; trois<P>"), EConvertError);
    ASSERT_EQ(engine.Words().size(), 1u);
    EXPECT_EQ(engine.Words()[0].Text, "un ");
}

TEST_F(Layout, MeasuringGivesDrawHtmlsHeightAndDrawsNothing) {
    // Wrapping words and a final run, a carried fragment on a centred line, bold and a rule, the form
    // elements that are no pictures (PictureLayoutTest measures those), an empty text.
    const std::string_view texts[] = {
        "aaaa bbbb cccc dddd eeee<B>ffff</B> gggg hhhh iiii jjjj",
        "<P CENTER>aaaa l'<U>avion</U> b<HR><H1>titre</H1>",
        "a<INPUT SIZE=30 VALUE=\"x\">b<TEXTAREA ROWS=5>y</TEXTAREA><INPUT TYPE=submit VALUE=OK>",
        "",
    };
    for (const int dpi : {96, 144}) {
        Canvas scaled(surface, engine, machine, Scale(dpi));
        for (const std::string_view text : texts) {
            SCOPED_TRACE(::testing::Message() << dpi << " dpi: " << text);
            surface.Fill(clWhite);
            engine.Drawn.clear();
            const int height =
                MeasureHtml(Host(), engine, scaled.GetScale(), scaled.GetFont(), 10, 5, 120, text);
            EXPECT_TRUE(engine.Drawn.empty());
            EXPECT_TRUE(WhiteArea(0, 0, surface.Width(), surface.Height()));
            EXPECT_EQ(height, DrawHtml(scaled, Host(), 10, 5, 120, text, clWhite));
        }
    }
}

TEST_F(Layout, AConversionErrorReachesTheCallerOfTheMeasure) {
    EXPECT_THROW(MeasureHtml(Host(), engine, {}, canvas.GetFont(), 10, 5, 200, "un<FONT SIZE=9x>deux"),
                 EConvertError);
    EXPECT_TRUE(engine.Drawn.empty());
}

} // namespace
} // namespace vendora::test
