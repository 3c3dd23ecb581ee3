#pragma once
// A text engine of fixed metrics for the placeholder tests: every character advances 5 pixels in a cell
// 8 high, and its glyph is a bar on the character's second column, rows 1 to 6 of the cell. It remembers
// the last font asked for.

#include "gfx/TextEngine.h"

namespace vendora::testing {

class BarTextEngine : public TextEngine {
public:
    static constexpr int Advance = 5;
    static constexpr int Cell = 8;
    FontRequest LastFont;

    FontMetrics Metrics(const FontRequest& font) override {
        LastFont = font;
        return {6, 2};
    }
    int TextWidth(const FontRequest& font, std::string_view text) override {
        LastFont = font;
        return Advance * static_cast<int>(text.size());
    }
    void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                  std::string_view text, TColor color) override {
        LastFont = font;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int column = x + static_cast<int>(i) * Advance + 1;
            for (int row = y + 1; row <= y + 6; ++row)
                if (clip.Contains(column, row))
                    target.SetPixel(column, row, color);
        }
    }
};

} // namespace vendora::testing
