#pragma once
// The cell metrics and text widths of the fonts the installer's windows use, as both text engines give them:
// the host's FreeType engine and GDI under Wine. A window laid out on one build takes the same room on the
// other only where these agree, so both builds check the same table. Widths are listed only where the two
// engines were measured to agree; where they are absent the engines differ (Wine draws its Tahoma from the
// outlines, the host from the font's bitmaps, and hints Liberation Sans and Serif a little differently).

#include "base/Cp1252.h"
#include "gfx/TextEngine.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vendora::testing {

inline const std::array<std::string, 8>& FigureTexts() {
    static const std::array<std::string, 8> texts = {
        "Interrompre", "Totale :",
        "Restante :",  Ansi("Durée du traitement (estimation)"),
        "Oui",         "Non",
        "0123456789",  Ansi("Déconcaténation réalisée : 12 fichiers, œuvre à 99 € !")};
    return texts;
}

struct FontFigure {
    FontRequest Font;
    int Ascent = 0;
    int Descent = 0;
    std::optional<std::array<int, 8>> Widths; // of FigureTexts(), where both engines agree
};

inline const std::array<FontFigure, 20>& FontFigures() {
    using W = std::array<int, 8>;
    static const std::array<FontFigure, 20> figures = {{
        // The message window and the markup: Tahoma 10 points, bold (a point larger when bold is shorter),
        // the 15-point title of the installer's messages, headings, the missing-picture placeholder
        // (14 points bold) and the form elements' hints (6 points).
        {{"Tahoma", -13, false, false, false}, 13, 3, {}},
        {{"Tahoma", -13, true, false, false}, 13, 3, {}},
        {{"Tahoma", -15, true, false, false}, 15, 3, {}},
        {{"Tahoma", -13, false, true, false}, 13, 3, {}},
        {{"Tahoma", -20, false, false, false}, 20, 4, {}},
        {{"Tahoma", -20, true, false, false}, 20, 4, {}},
        {{"Tahoma", -19, true, false, false}, 19, 4, {}},
        {{"Tahoma", -8, false, false, false}, 8, 2, {}},
        {{"Tahoma", -21, true, false, false}, 21, 4, W{131, 81, 109, 355, 35, 43, 130, 562}},
        {{"Tahoma", -16, true, false, false}, 16, 3, {}},
        // Asked for by its cell height.
        {{"Tahoma", 16, false, false, false}, 13, 3, {}},
        // The waiting window and the framework's default font.
        {{"MS Sans Serif", -11, false, false, false}, 11, 2, W{53, 36, 49, 149, 16, 20, 60, 254}},
        {{"MS Sans Serif", -11, true, false, false}, 11, 2, W{64, 44, 59, 181, 19, 23, 70, 308}},
        // The progress window.
        {{"Courier New", -13, false, false, false}, 11, 4, W{88, 64, 80, 256, 24, 24, 80, 432}},
        {{"Courier New", -13, true, false, false}, 11, 4, W{88, 64, 80, 256, 24, 24, 80, 432}},
        {{"Courier New", -8, false, false, false}, 7, 2, W{55, 40, 50, 160, 15, 15, 50, 270}},
        {{"Arial Narrow", -11, false, false, false}, 10, 2, W{48, 32, 44, 135, 14, 17, 50, 225}},
        // Form elements, and faces that markup may name.
        {{"Microsoft Sans Serif", -13, false, false, false}, 12, 3, {}},
        {{"Arial", -13, false, false, false}, 12, 3, {}},
        {{"Times New Roman", -13, false, false, false}, 12, 3, {}},
    }};
    return figures;
}

inline void ExpectFontFigures(TextEngine& engine) {
    for (const FontFigure& figure : FontFigures()) {
        const FontRequest& font = figure.Font;
        SCOPED_TRACE(::testing::Message() << font.Name << " " << font.Height << (font.Bold ? " bold" : "")
                                          << (font.Italic ? " italic" : ""));
        const FontMetrics metrics = engine.Metrics(font);
        EXPECT_EQ(metrics.Ascent, figure.Ascent);
        EXPECT_EQ(metrics.Descent, figure.Descent);
        if (!figure.Widths)
            continue;
        for (std::size_t i = 0; i < FigureTexts().size(); ++i)
            EXPECT_EQ(engine.TextWidth(font, FigureTexts()[i]), (*figure.Widths)[i]) << FigureTexts()[i];
    }
}

// Where the two engines draw the same pixels: the bitmap face of MS Sans Serif, plain, bold and underlined,
// and Liberation Mono for Courier New. Black text at (2, 1) on white, '#' for black.
struct GlyphPicture {
    FontRequest Font;
    std::string Text;
    std::vector<std::string> Rows;
};

inline const std::vector<GlyphPicture>& GlyphPictures() {
    static const std::vector<GlyphPicture> pictures = {
        {{"MS Sans Serif", -11, false, false, false},
         "Interrompre",
         {
             ".........................................................",
             ".........................................................",
             ".........................................................",
             "...#.....................................................",
             "...#........#............................................",
             "...#........#............................................",
             "...#..#.##..##..###..##.##..###..###.##..####..##..###...",
             "...#..##..#.#..#...#.#..#..#...#.#..#..#.#...#.#..#...#..",
             "...#..#...#.#..#####.#..#..#...#.#..#..#.#...#.#..#####..",
             "...#..#...#.#..#.....#..#..#...#.#..#..#.#...#.#..#......",
             "...#..#...#.#..#...#.#..#..#...#.#..#..#.#...#.#..#...#..",
             "...#..#...#..#..###..#..#...###..#..#..#.####..#...###...",
             ".........................................#...............",
             ".........................................#...............",
             ".........................................................",
         }},
        {{"MS Sans Serif", -11, true, false, true},
         "Oui",
         {
             ".......................",
             ".......................",
             ".......................",
             "....#####..........##..",
             "...##...##.............",
             "...##...##.............",
             "...##...##..##..##.##..",
             "...##...##..##..##.##..",
             "...##...##..##..##.##..",
             "...##...##..##..##.##..",
             "...##...##..##.###.##..",
             "....#####....#####.##..",
             "..###################..",
             ".......................",
             ".......................",
         }},
        {{"Courier New", -13, false, false, false},
         "Totale : 12",
         {
             "............................................................................................",
             "............................................................................................",
             "....................................###.....................................................",
             "...#######...........#................#.......................................#.....####....",
             "......#..............#................#.....................................###....#....#...",
             "......#.....####....#####...####......#.....####.............#................#.........#...",
             "......#....#....#....#.....#....#.....#....#....#............#................#.........#...",
             "......#....#....#....#..........#.....#....#....#.............................#........#....",
             "......#....#....#....#......#####.....#....######.............................#......##.....",
             "......#....#....#....#.....#....#.....#....#..................................#.....#.......",
             "......#....#....#....#.....#...##.....#....#....#............#................#....#........",
             "......#.....####......###...###.##.######...####.............#..............#####..######...",
             "............................................................................................",
             "............................................................................................",
             "............................................................................................",
             "............................................................................................",
             "............................................................................................",
         }},
    };
    return pictures;
}

inline std::vector<std::string> DrawnRows(TextEngine& engine, const FontRequest& font,
                                          const std::string& text) {
    Bitmap b(engine.TextWidth(font, text) + 4, engine.Metrics(font).CellHeight() + 2);
    engine.DrawText(b, b.Bounds(), 2, 1, font, text, clBlack);
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string row;
        for (int x = 0; x < b.Width(); ++x)
            row += b.Pixel(x, y) == clBlack ? '#' : b.Pixel(x, y) == clWhite ? '.' : '?';
        rows.push_back(row);
    }
    return rows;
}

inline void ExpectGlyphPictures(TextEngine& engine) {
    for (const GlyphPicture& picture : GlyphPictures()) {
        SCOPED_TRACE(::testing::Message()
                     << picture.Font.Name << " " << picture.Font.Height << " " << picture.Text);
        const std::vector<std::string> rows = DrawnRows(engine, picture.Font, picture.Text);
        ASSERT_EQ(rows.size(), picture.Rows.size());
        for (std::size_t y = 0; y < rows.size(); ++y)
            EXPECT_EQ(rows[y], picture.Rows[y]) << "row " << y;
    }
}

} // namespace vendora::testing
