#pragma once
// A text engine of fixed, known metrics for the layout tests: every character is 7 pixels wide, and a
// font's cell is its character height plus 3 (13 pixels for 10 points at 96 pixels per inch: cell 16).
// A glyph other than the space is a solid block over columns 1 to 5 and rows 2 to cell - 3 of its cell,
// so the pixels of a word tell where it was drawn and where it was moved. Every DrawText call is also
// written down, with the font it used.

#include "gfx/TextEngine.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace vendora::test {

struct DrawnText {
    int X = 0;
    int Y = 0;
    std::string Text;
    FontRequest Font;
    TColor Color;
};

class FixedTextEngine : public TextEngine {
public:
    static constexpr int Advance = 7;

    // Added to the cell of a bold font, to mimic a face whose bold comes out shorter.
    int BoldCellDelta = 0;
    std::vector<DrawnText> Drawn;
    int WidthCalls = 0;

    // Huge fonts are kept within reach of int arithmetic.
    static int CellOf(int height) {
        const long long h = height;
        return static_cast<int>(std::min<long long>(h < 0 ? -h + 3 : h, 1 << 20));
    }

    FontMetrics Metrics(const FontRequest& font) override {
        const int cell = CellOf(font.Height) + (font.Bold ? BoldCellDelta : 0);
        return {cell - 3, 3};
    }
    int TextWidth(const FontRequest&, std::string_view text) override {
        ++WidthCalls;
        return Advance * static_cast<int>(text.size());
    }
    void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                  std::string_view text, TColor color) override {
        Drawn.push_back({x, y, std::string(text), font, color});
        const int cell = Metrics(font).CellHeight();
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ')
                continue;
            const int left = x + static_cast<int>(i) * Advance;
            const IntRect glyph = IntRect{left + 1, y + 2, left + 6, y + cell - 2}.Intersected(clip);
            for (int gy = glyph.Top; gy < glyph.Bottom; ++gy)
                for (int gx = glyph.Left; gx < glyph.Right; ++gx)
                    target.SetPixel(gx, gy, color);
        }
    }

    // The calls that drew text, without the ones of a single space.
    std::vector<DrawnText> Words() const {
        std::vector<DrawnText> words;
        for (const DrawnText& d : Drawn)
            if (d.Text.find_first_not_of(' ') != std::string::npos)
                words.push_back(d);
        return words;
    }
};

} // namespace vendora::test
