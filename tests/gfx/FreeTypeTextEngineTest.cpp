#include "gfx/freetype/FreeTypeTextEngine.h"

#include "base/Cp1252.h"
#include "gfx/Canvas.h"
#include "tests/gfx/TextEngineChecks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vendora {
namespace {

using testing::Tahoma;

// One engine for the whole program: faces and glyphs stay cached between tests, as in the installer.
FreeTypeTextEngine& Engine() {
    static FreeTypeTextEngine engine;
    return engine;
}

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

TEST(FreeTypeTextEngineTest, FindsTheProjectFontsConf) {
    EXPECT_EQ(FileName(Engine().ConfigFile()), "fonts.conf");
    EXPECT_TRUE(std::filesystem::is_regular_file(Engine().ConfigFile()));
}

TEST(FreeTypeTextEngineTest, WindowsFontNamesMapToWineAndLiberationFonts) {
    struct Case {
        const char* Name;
        bool Bold;
        const char* File;
    };
    for (const Case& k : {Case{"Tahoma", false, "tahoma.ttf"}, Case{"Tahoma", true, "tahomabd.ttf"},
                          Case{"MS Sans Serif", false, "ms_sans_serif.ttf"},
                          Case{"Microsoft Sans Serif", false, "LiberationSans-Regular.ttf"},
                          Case{"Courier New", false, "LiberationMono-Regular.ttf"},
                          Case{"Courier New", true, "LiberationMono-Bold.ttf"},
                          Case{"Arial Narrow", false, "LiberationSansNarrow-Regular.ttf"},
                          Case{"No Such Font At All", false, "LiberationSans-Regular.ttf"}}) {
        FontRequest request{k.Name, -19, k.Bold, false, false};
        EXPECT_EQ(FileName(Engine().Resolve(request).File), k.File) << k.Name;
    }
}

TEST(FreeTypeTextEngineTest, TenPointTahomaHasTheWindowsCell) {
    // Tahoma's Windows ascent and descent are 2049 and 423 units of 2048: at a 13-pixel em that is 13 above
    // the baseline and 3 below, a 16-pixel cell. 8 points (11 pixels) give 11 + 2 = 13.
    const FontMetrics ten = Engine().Metrics(Tahoma(10));
    EXPECT_EQ(Engine().Resolve(Tahoma(10)).PixelsPerEm, 13);
    EXPECT_EQ(ten.Ascent, 13);
    EXPECT_EQ(ten.Descent, 3);
    EXPECT_EQ(ten.CellHeight(), 16);
    EXPECT_EQ(Engine().Metrics(Tahoma(8)).CellHeight(), 13);
    // Asked for by cell height, the cell is exactly that.
    EXPECT_EQ(Engine().Metrics({"Tahoma", 16, false, false, false}).CellHeight(), 16);
    EXPECT_EQ(Engine().Metrics({"Tahoma", 16, false, false, false}).Ascent, 13);
    // Bold keeps the cell.
    EXPECT_EQ(Engine().Metrics(Tahoma(10, true)).CellHeight(), 16);
}

TEST(FreeTypeTextEngineTest, WidthsAddUpAndBoldIsNotNarrower) {
    const std::string sentence =
        Ansi("Déconcaténation en cours, veuillez patienter... Voulez-vous installer ?");
    for (const char* name :
         {"Tahoma", "MS Sans Serif", "Microsoft Sans Serif", "Courier New", "Arial Narrow"})
        for (int height : {-11, -13, -19})
            for (bool bold : {false, true}) {
                const FontRequest request{name, height, bold, false, false};
                SCOPED_TRACE(::testing::Message() << name << " " << height << (bold ? " bold" : ""));
                int sum = 0;
                for (char c : sentence)
                    sum += Engine().TextWidth(request, std::string(1, c));
                EXPECT_EQ(Engine().TextWidth(request, sentence), sum);
                EXPECT_EQ(Engine().TextWidth(request, "ab"),
                          Engine().TextWidth(request, "a") + Engine().TextWidth(request, "b"));
                EXPECT_EQ(Engine().TextWidth(request, ""), 0);
                EXPECT_GT(Engine().TextWidth(request, "W"), 0);
                if (!bold)
                    continue;
                // Over a sentence bold is wider, except in a monospaced face. Single letters may differ
                // either way in a face with its own bold cut (Arial's bold W is narrower than its plain
                // one), but not in the simulated or Wine faces the installer's windows use most.
                const FontRequest regular{name, height, false, false, false};
                const bool mono = std::string(name) == "Courier New";
                EXPECT_GE(Engine().TextWidth(request, sentence),
                          Engine().TextWidth(regular, sentence) + (mono ? 0 : 1));
                if (std::string(name) != "Tahoma" && std::string(name) != "MS Sans Serif")
                    continue;
                for (const char* text : {"W", "i", "Bonjour", "introuvable !"})
                    EXPECT_GE(Engine().TextWidth(request, text), Engine().TextWidth(regular, text)) << text;
            }
}

TEST(FreeTypeTextEngineTest, ASizeLargerIsNotNarrowerAndCourierIsMonospaced) {
    int last = 0;
    for (int points = 6; points <= 24; ++points) {
        const int w = Engine().TextWidth(Tahoma(points), "Interrompre");
        EXPECT_GE(w, last) << points;
        last = w;
    }
    const FontRequest mono{"Courier New", -13, false, false, false};
    EXPECT_EQ(Engine().TextWidth(mono, "iiii"), Engine().TextWidth(mono, "WWWW"));
}

TEST(FreeTypeTextEngineTest, MissingStylesAreSimulated) {
    // Wine's Tahoma has no italic: slanted, with the upright advances.
    const auto italic = Engine().Resolve(Tahoma(10, false, true));
    EXPECT_TRUE(italic.SimulatedItalic);
    EXPECT_FALSE(italic.SimulatedBold);
    EXPECT_EQ(Engine().TextWidth(Tahoma(10, false, true), "Bonjour"),
              Engine().TextWidth(Tahoma(10), "Bonjour"));
    // Nor has MS Sans Serif a bold cut: one pixel more per character.
    const FontRequest sans{"MS Sans Serif", -11, false, false, false};
    const FontRequest sansBold{"MS Sans Serif", -11, true, false, false};
    EXPECT_TRUE(Engine().Resolve(sansBold).SimulatedBold);
    EXPECT_EQ(Engine().TextWidth(sansBold, "Oui"), Engine().TextWidth(sans, "Oui") + 3);
    // Liberation has every style of its own.
    const auto liberation = Engine().Resolve({"Courier New", -13, true, true, false});
    EXPECT_FALSE(liberation.SimulatedBold);
    EXPECT_FALSE(liberation.SimulatedItalic);
}

// The pixels of area in the ink colour.
int Ink(const Bitmap& b, TColor ink, const IntRect& area) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            n += b.Pixel(x, y) == ink;
    return n;
}

TEST(FreeTypeTextEngineTest, GlyphsAreTwoColouredAndStayInTheirCell) {
    Bitmap b(200, 40);
    XpSystemColors colors;
    Canvas canvas(b, Engine(), colors);
    canvas.GetFont().Name = "Tahoma";
    canvas.GetFont().SetSize(10);
    canvas.GetFont().Color = clBlack;
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
    const std::string text = Ansi("Déjà prêt ? Æ œ € ÿ");
    canvas.TextOut(10, 10, text);
    const int w = canvas.TextWidth(text);
    const int h = canvas.TextHeight(text);
    int ink = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.Pixel(x, y);
            ASSERT_TRUE(c == clBlack || c == clWhite) << "grey at " << x << "," << y;
            if (c == clBlack) {
                ++ink;
                // Slightly left of the cell is allowed for a glyph's overhang, never above or below it.
                EXPECT_GE(y, 10);
                EXPECT_LT(y, 10 + h);
                EXPECT_GE(x, 9);
                EXPECT_LT(x, 10 + w + 1);
            }
        }
    EXPECT_GT(ink, 100);
    // Every character of the text has a glyph: none is the empty box of a missing one.
    for (char c : text) {
        if (c != ' ') {
            EXPECT_GT(Engine().TextWidth(canvas.GetFont().Request(), std::string(1, c)), 2) << int(c);
        }
    }
}

TEST(FreeTypeTextEngineTest, BoldItalicAndUnderlineChangeThePixels) {
    const auto draw = [](const FontRequest& request) {
        Bitmap b(120, 20);
        Engine().DrawText(b, b.Bounds(), 2, 2, request, "Vendora", clBlack);
        return b;
    };
    const Bitmap plain = draw(Tahoma(10));
    const Bitmap bold = draw(Tahoma(10, true));
    const Bitmap italic = draw(Tahoma(10, false, true));
    const Bitmap underlined = draw(Tahoma(10, false, false, true));
    EXPECT_GT(Ink(bold, clBlack, bold.Bounds()), Ink(plain, clBlack, plain.Bounds()));
    EXPECT_NE(italic, plain);
    EXPECT_EQ(Ink(italic, clBlack, italic.Bounds()), Ink(plain, clBlack, plain.Bounds())); // only moved
    // The underline: one full row under the baseline, as wide as the text, and nothing else changed.
    const auto face = Engine().Resolve(Tahoma(10, false, false, true));
    const int row = 2 + face.UnderlineTop;
    const int width = Engine().TextWidth(Tahoma(10), "Vendora");
    EXPECT_GE(face.UnderlineTop, Engine().Metrics(Tahoma(10)).Ascent);
    EXPECT_LT(face.UnderlineTop + face.UnderlineThickness, 17);
    for (int x = 0; x < 120; ++x)
        EXPECT_EQ(underlined.Pixel(x, row), x >= 2 && x < 2 + width ? clBlack : clWhite) << x;
    for (int y = 0; y < 20; ++y) {
        if (y >= row && y < row + face.UnderlineThickness)
            continue;
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(underlined.Pixel(x, y), plain.Pixel(x, y)) << x << "," << y;
    }
}

TEST(FreeTypeTextEngineTest, WhiteTextOnASolidRedCell) {
    const testing::DrawnCell drawn = testing::ExpectWhiteTextOnASolidRedCell(Engine());
    // The cell's corners stay red: no glyph reaches them.
    EXPECT_EQ(drawn.Surface.Pixel(drawn.Cell.Left, drawn.Cell.Top), clRed);
    EXPECT_EQ(drawn.Surface.Pixel(drawn.Cell.Right - 1, drawn.Cell.Bottom - 1), clRed);
}

TEST(FreeTypeTextEngineTest, DrawingIsClippedAndColoured) {
    Bitmap full(100, 20);
    Engine().DrawText(full, full.Bounds(), 0, 0, Tahoma(10), "Interrompre", clRed);
    Bitmap clipped(100, 20);
    const IntRect clip{10, 4, 30, 12};
    Engine().DrawText(clipped, clip, 0, 0, Tahoma(10), "Interrompre", clRed);
    EXPECT_GT(Ink(full, clRed, full.Bounds()), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(clipped.Pixel(x, y), clip.Contains(x, y) ? full.Pixel(x, y) : clWhite) << x << "," << y;
    // Far outside the bitmap, or at absurd sizes, nothing breaks.
    Engine().DrawText(clipped, clipped.Bounds(), -100000, 100000, Tahoma(10), "x", clRed);
    Engine().DrawText(clipped, clipped.Bounds(), 0, 0, {"Tahoma", -100000, false, false, false}, "x", clRed);
    Engine().DrawText(clipped, clipped.Bounds(), 0, 0, {"Tahoma", 0, false, false, false}, "x", clRed);
    EXPECT_GT(Engine().Metrics({"Tahoma", 0, false, false, false}).CellHeight(), 0);
}

TEST(FreeTypeTextEngineTest, GreyEdgesOnlyWhenAskedFor) {
    FreeTypeTextEngine smooth(FreeTypeTextEngine::Options{"", true});
    Bitmap b(100, 30);
    smooth.DrawText(b, b.Bounds(), 0, 0, {"Liberation Sans", -20, false, false, false}, "Soft edges",
                    clBlack);
    bool grey = false;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            grey = grey || (b.Pixel(x, y) != clBlack && b.Pixel(x, y) != clWhite);
    EXPECT_TRUE(grey);
}

TEST(FreeTypeTextEngineTest, FontconfigsOwnConfigurationStillFindsTheFonts) {
    FreeTypeTextEngine system(FreeTypeTextEngine::Options{"-", false});
    EXPECT_TRUE(system.ConfigFile().empty());
    EXPECT_EQ(FileName(system.Resolve(Tahoma(10)).File), "tahoma.ttf");
    EXPECT_EQ(system.Metrics(Tahoma(10)).CellHeight(), 16);
    EXPECT_GT(system.TextWidth({"No Such Font At All", -13, false, false, false}, "abc"), 0);
}

TEST(FreeTypeTextEngineTest, TheEnvironmentNamesTheFontsConf) {
    const char* old = std::getenv("VENDORA_FONTS_CONF");
    const std::string saved = old != nullptr ? old : "";
    ::setenv("VENDORA_FONTS_CONF", Engine().ConfigFile().c_str(), 1);
    EXPECT_EQ(FindFontsConf(), Engine().ConfigFile());
    ::setenv("VENDORA_FONTS_CONF", "/nonexistent/fonts.conf", 1);
    EXPECT_EQ(FindFontsConf(), "");
    if (old != nullptr)
        ::setenv("VENDORA_FONTS_CONF", saved.c_str(), 1);
    else
        ::unsetenv("VENDORA_FONTS_CONF");
}

} // namespace
} // namespace vendora
