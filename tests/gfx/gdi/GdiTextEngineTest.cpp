#include "gfx/gdi/GdiTextEngine.h"

#include "base/Cp1252.h"
#include "gfx/Canvas.h"
#include "tests/gfx/TextEngineChecks.h"
#include "tests/gfx/gdi/FontFigures.h"

#include <gtest/gtest.h>

#include <iterator>

namespace vendora {
namespace {

using testing::Tahoma;

// One engine for the whole program: fonts stay cached between tests, as in the installer.
GdiTextEngine& Engine() {
    static GdiTextEngine engine;
    return engine;
}

const std::string& Sentence() {
    static const std::string text =
        Ansi("Déconcaténation en cours, veuillez patienter... Voulez-vous installer ?");
    return text;
}

// A background where every pixel differs from its neighbours, so that a row or column copied to the wrong
// place shows.
Bitmap Patterned(int width, int height) {
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y,
                       TColor::Rgb(200 + (x * 7 + y) % 50, 150 + (x + y * 5) % 100, 250 - (x * y) % 40));
    return b;
}

int Ink(const Bitmap& b, TColor ink) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.Pixel(x, y) == ink;
    return n;
}

TEST(GdiTextEngineTest, TheInstallersFontsMeasureAsOnTheHost) {
    testing::ExpectFontFigures(Engine());
}

TEST(GdiTextEngineTest, TheBitmapFaceAndCourierDrawAsOnTheHost) {
    testing::ExpectGlyphPictures(Engine());
}

TEST(GdiTextEngineTest, TheWindowsFontNamesFindTheirFaces) {
    EXPECT_EQ(Engine().FaceName(Tahoma(10)), "Tahoma");
    EXPECT_EQ(Engine().FaceName({"MS Sans Serif", -11, false, false, false}), "MS Sans Serif");
    // Replaced by the Liberation faces: monospaced, and narrow.
    const FontRequest mono{"Courier New", -13, false, false, false};
    EXPECT_EQ(Engine().TextWidth(mono, "iiii"), Engine().TextWidth(mono, "WWWW"));
    EXPECT_LT(Engine().TextWidth({"Arial Narrow", -13, false, false, false}, Sentence()),
              Engine().TextWidth({"Arial", -13, false, false, false}, Sentence()) * 9 / 10);
}

TEST(GdiTextEngineTest, WidthsAddUpAndBoldIsWider) {
    for (const testing::FontFigure& figure : testing::FontFigures()) {
        const FontRequest& request = figure.Font;
        SCOPED_TRACE(::testing::Message()
                     << request.Name << " " << request.Height << (request.Bold ? " bold" : ""));
        int sum = 0;
        for (char c : Sentence())
            sum += Engine().TextWidth(request, std::string(1, c));
        EXPECT_EQ(Engine().TextWidth(request, Sentence()), sum);
        EXPECT_EQ(Engine().TextWidth(request, ""), 0);
        EXPECT_GT(Engine().TextWidth(request, "W"), 0);
        if (!request.Bold || request.Name == "Courier New")
            continue;
        const FontRequest regular{request.Name, request.Height, false, request.Italic, false};
        EXPECT_GT(Engine().TextWidth(request, Sentence()), Engine().TextWidth(regular, Sentence()));
    }
}

// The layout puts each word where the one before it ends by its measured width: a run drawn whole must land
// where its characters land drawn one by one at the measured widths of what comes before them, at the
// installer's sizes and at the doubled sizes of a 192-dpi screen.
TEST(GdiTextEngineTest, TextIsDrawnWhereItIsMeasured) {
    const std::string text = Ansi("Installation de Vendora.exe © morvanel.");
    for (const testing::FontFigure& figure : testing::FontFigures()) {
        for (const int factor : {1, 2}) {
            FontRequest request = figure.Font;
            request.Height *= factor;
            SCOPED_TRACE(::testing::Message()
                         << request.Name << " " << request.Height << (request.Bold ? " bold" : ""));
            const int width = Engine().TextWidth(request, text) + 40;
            Bitmap whole(width, 60), pieces(width, 60);
            Engine().DrawText(whole, whole.Bounds(), 4, 4, request, text, clBlack);
            for (std::size_t i = 0; i < text.size(); ++i)
                Engine().DrawText(pieces, pieces.Bounds(), 4 + Engine().TextWidth(request, text.substr(0, i)),
                                  4, request, text.substr(i, 1), clBlack);
            EXPECT_GT(Ink(whole, clBlack), 0);
            EXPECT_TRUE(whole == pieces);
        }
    }
}

TEST(GdiTextEngineTest, LargerSizesAreNotNarrowerAndStylesKeepTheCell) {
    int last = 0;
    for (int points = 6; points <= 24; ++points) {
        const int w = Engine().TextWidth(Tahoma(points), "Interrompre");
        EXPECT_GE(w, last) << points;
        last = w;
    }
    EXPECT_EQ(Engine().TextWidth(Tahoma(10, false, true), "Bonjour"),
              Engine().TextWidth(Tahoma(10), "Bonjour"));
    EXPECT_EQ(Engine().Metrics(Tahoma(10, true, true, true)).CellHeight(),
              Engine().Metrics(Tahoma(10)).CellHeight());
    // A long text is measured whole, beyond what GDI is given at once.
    const std::string longText(10000, 'x');
    EXPECT_EQ(Engine().TextWidth(Tahoma(10), longText), 10000 * Engine().TextWidth(Tahoma(10), "x"));
}

TEST(GdiTextEngineTest, GlyphsAreTwoColouredAndStayInTheirCell) {
    const std::string text = Ansi("Déjà prêt ? Æ œ € ÿ");
    for (const testing::FontFigure& figure : testing::FontFigures()) {
        const FontRequest& font = figure.Font;
        SCOPED_TRACE(::testing::Message() << font.Name << " " << font.Height << (font.Bold ? " bold" : ""));
        Bitmap b(400, 60);
        Engine().DrawText(b, b.Bounds(), 10, 10, font, text, clBlack);
        const int w = Engine().TextWidth(font, text);
        const int h = Engine().Metrics(font).CellHeight();
        int ink = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                const TColor c = b.Pixel(x, y);
                ASSERT_TRUE(c == clBlack || c == clWhite) << "grey at " << x << "," << y;
                if (c != clBlack)
                    continue;
                ++ink;
                EXPECT_GE(y, 10);
                EXPECT_LT(y, 10 + h);
                // A glyph may overhang its cell by a pixel on the left and a few on the right (ÿ, slanted
                // letters).
                EXPECT_GE(x, 9);
                EXPECT_LT(x, 10 + w + (font.Italic ? 4 : 3));
            }
        EXPECT_GT(ink, 3 * h);
    }
}

TEST(GdiTextEngineTest, TheCharactersBeyondAsciiAreTheWindows1252Ones) {
    // Each is its own glyph, not the box of a character the font lacks (0x81 has none in Windows-1252).
    const auto picture = [](const std::string& c) { return testing::DrawnRows(Engine(), Tahoma(10), c); };
    const auto missing = picture("\x81");
    for (const char* utf8 : {"€", "œ", "Œ", "ÿ", "é", "à", "ç", "«", "©"}) {
        const std::string c = Ansi(utf8);
        ASSERT_EQ(c.size(), 1u) << utf8;
        EXPECT_GT(Engine().TextWidth(Tahoma(10), c), 2) << utf8;
        EXPECT_NE(picture(c), missing) << utf8;
    }
    EXPECT_NE(picture(Ansi("é")), picture("e"));
    EXPECT_NE(picture(Ansi("€")), picture(Ansi("œ")));
}

TEST(GdiTextEngineTest, OnlyTheClipChanges) {
    const Bitmap background = Patterned(120, 40);
    Bitmap full = background;
    Engine().DrawText(full, full.Bounds(), 3, 5, Tahoma(12, true), "Interrompre", clRed);
    // Outside the glyphs the background stays: no box is painted behind the text.
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            ASSERT_TRUE(full.Pixel(x, y) == clRed || full.Pixel(x, y) == background.Pixel(x, y))
                << x << "," << y;
            red += full.Pixel(x, y) == clRed;
        }
    EXPECT_GT(red, 100);
    for (const IntRect clip : {IntRect{10, 8, 47, 19}, IntRect{0, 0, 1, 40}, IntRect{-20, -20, 300, 300},
                               IntRect{119, 39, 120, 40}, IntRect{50, 10, 50, 30}}) {
        SCOPED_TRACE(::testing::Message()
                     << clip.Left << "," << clip.Top << "," << clip.Right << "," << clip.Bottom);
        Bitmap clipped = background;
        Engine().DrawText(clipped, clip, 3, 5, Tahoma(12, true), "Interrompre", clRed);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x)
                ASSERT_EQ(clipped.Pixel(x, y),
                          clip.Contains(x, y) ? full.Pixel(x, y) : background.Pixel(x, y))
                    << x << "," << y;
    }
}

TEST(GdiTextEngineTest, ColoursLandInTheirChannels) {
    // Every colour draws the same glyphs, magentas and the colour of the last word among them.
    int first = 0;
    for (const TColor ink : {clRed, clBlue, TColor::Rgb(0, 255, 0), TColor::Rgb(10, 120, 230),
                             TColor::Rgb(255, 255, 254), TColor::Rgb(255, 0, 255), TColor::Rgb(255, 0, 255),
                             TColor::Rgb(254, 0, 255), TColor::Rgb(255, 0, 254)}) {
        Bitmap b(80, 20, clBlack);
        Engine().DrawText(b, b.Bounds(), 2, 2, Tahoma(10), "Vendora", ink);
        int n = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 80; ++x) {
                ASSERT_TRUE(b.Pixel(x, y) == ink || b.Pixel(x, y) == clBlack) << x << "," << y;
                n += b.Pixel(x, y) == ink;
                // The word's unused top byte stays clear.
                ASSERT_EQ(b.Row(y)[x] >> 24, 0u);
            }
        EXPECT_GT(n, 30) << std::hex << ink.Value;
        if (first == 0)
            first = n;
        EXPECT_EQ(n, first) << std::hex << ink.Value;
    }
}

TEST(GdiTextEngineTest, WhiteTextOnTheCanvassSolidRedCell) {
    testing::ExpectWhiteTextOnASolidRedCell(Engine());
}

TEST(GdiTextEngineTest, TheUnderlineRunsUnderTheWholeText) {
    for (const FontRequest& plain :
         {Tahoma(10), Tahoma(14, true), FontRequest{"Courier New", -13, false, false, false},
          FontRequest{"MS Sans Serif", -11, false, false, false}}) {
        SCOPED_TRACE(::testing::Message() << plain.Name << " " << plain.Height);
        FontRequest underlined = plain;
        underlined.Underline = true;
        Bitmap a(160, 30);
        Bitmap b(160, 30);
        Engine().DrawText(a, a.Bounds(), 4, 2, plain, "Vendora", clBlack);
        Engine().DrawText(b, b.Bounds(), 4, 2, underlined, "Vendora", clBlack);
        const int width = Engine().TextWidth(plain, "Vendora");
        const FontMetrics m = Engine().Metrics(plain);
        EXPECT_EQ(Engine().TextWidth(underlined, "Vendora"), width);
        int lines = 0;
        for (int y = 0; y < 30; ++y) {
            bool changed = false;
            for (int x = 0; x < 160; ++x)
                changed = changed || a.Pixel(x, y) != b.Pixel(x, y);
            if (!changed)
                continue;
            // Below the baseline, inside the cell, from the cell's left edge to its right one.
            EXPECT_GE(y, 2 + m.Ascent);
            EXPECT_LT(y, 2 + m.CellHeight());
            for (int x = 0; x < 160; ++x)
                EXPECT_EQ(b.Pixel(x, y), x >= 4 && x < 4 + width ? clBlack : a.Pixel(x, y)) << x << "," << y;
            ++lines;
        }
        EXPECT_GE(lines, 1);
    }
}

TEST(GdiTextEngineTest, TheSurfaceGrowsAndOddRequestsDoNotBreak) {
    Bitmap small(20, 10);
    Engine().DrawText(small, small.Bounds(), 0, 0, Tahoma(8), "x", clBlack);
    Bitmap large(900, 700);
    Engine().DrawText(large, large.Bounds(), 850, 680, Tahoma(10), "Fin", clBlack);
    int ink = 0;
    for (int y = 680; y < 700; ++y)
        for (int x = 850; x < 900; ++x)
            ink += large.Pixel(x, y) == clBlack;
    EXPECT_GT(ink, 10);
    EXPECT_EQ(Ink(large, clBlack), ink);

    Bitmap b(100, 20);
    const Bitmap white = b;
    Engine().DrawText(b, b.Bounds(), -100000, 100000, Tahoma(10), "x", clRed);
    Engine().DrawText(b, b.Bounds(), 2147483000, -2147483000, Tahoma(10), "x", clRed);
    Engine().DrawText(b, IntRect{50, 5, 40, 15}, 0, 0, Tahoma(10), "Interrompre", clRed);
    EXPECT_EQ(b, white);
    Engine().DrawText(b, b.Bounds(), 0, 0, {"Tahoma", -100000, false, false, false}, "x", clRed);
    Engine().DrawText(b, b.Bounds(), 0, 0, {"Tahoma", 0, false, false, false}, "x", clRed);
    Engine().DrawText(b, b.Bounds(), 0, 0, {"No Such Font At All", -13, false, false, false}, "x", clRed);
    EXPECT_GT(Engine().Metrics({"Tahoma", 0, false, false, false}).CellHeight(), 0);
    EXPECT_LE(Engine().Metrics({"Tahoma", -100000, false, false, false}).Ascent, 1100);
    EXPECT_GT(Engine().TextWidth({"No Such Font At All", -13, false, false, false}, "abc"), 0);
    EXPECT_GT(Engine().TextWidth({std::string(80, 'A'), -13, false, false, false}, "abc"), 0);
}

TEST(GdiTextEngineTest, EachRequestMakesOneFontOnce) {
    GdiTextEngine engine;
    Bitmap b(100, 20);
    const FontRequest requests[] = {Tahoma(10),
                                    Tahoma(10, true),
                                    Tahoma(10, false, false, true),
                                    {"Courier New", -13, false, false, false}};
    for (int round = 0; round < 50; ++round)
        for (const FontRequest& request : requests) {
            engine.TextWidth(request, "Vendora");
            engine.Metrics(request);
            engine.DrawText(b, b.Bounds(), 0, 0, request, "Vendora", clBlack);
        }
    EXPECT_EQ(engine.FontCount(), std::size(requests));
    // The same request built afresh is the same font.
    engine.TextWidth(Tahoma(10), "x");
    EXPECT_EQ(engine.FontCount(), std::size(requests));
}

} // namespace
} // namespace vendora
