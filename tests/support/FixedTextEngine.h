#pragma once
// A text engine of fixed metrics for the tests, benchmarks and fuzz targets: every character advances the
// same number of pixels and its glyph is one rectangle of its cell, so the pixels text touches are known
// exactly. The shape is a value; TextShape's presets are the shapes the tests are written against. Every
// DrawText call is written down with its font, the width calls are counted, and the last font asked for
// is kept.

#include "gfx/TextEngine.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vendora::test {

enum class GlyphInk {
    None,    // nothing is drawn
    Outline, // the glyph rectangle's edge
    Filled,  // the whole glyph rectangle
};

struct TextShape {
    int Advance = 0;
    int Ascent = 0;
    int Descent = 0;
    // The cell follows the font: a positive height is the cell, a negative one the character height, to which
    // the descent is added; the ascent is what the descent leaves.
    bool CellFromFont = false;
    // Relative to the cell's top-left corner; a bottom of 0 or less counts up from the cell's bottom.
    IntRect Glyph;
    GlyphInk Ink = GlyphInk::None;
    bool BlanksDraw = true;

    // Cell 13 (ascent 10, descent 3), advance 6, and no ink: for code that draws no text.
    static const TextShape Invisible;
    // Cell 8 (ascent 6, descent 2), advance 5: the outline of a 3 x 6 box one pixel in from the cell's
    // corner.
    static const TextShape Boxes;
    // Cell 13 (ascent 10, descent 3), advance 6: a filled 4 x 9 block over columns 1-4 and rows 1-9; a blank
    // draws nothing.
    static const TextShape Blocks;
    // Cell 8 (ascent 6, descent 2), advance 5: a bar on the character's second column, rows 1 to 6.
    static const TextShape Bars;
    // The cell from the font (13 pixels for 10 points at 96 pixels per inch: cell 16, descent 3), advance 7:
    // a solid block over columns 1 to 5 and rows 2 to cell - 3; a blank draws nothing. The pixels of a word
    // tell where it was drawn and where it was moved.
    static const TextShape FontBlocks;
};

inline constexpr TextShape TextShape::Invisible{6, 10, 3, false, {}, GlyphInk::None, true};
inline constexpr TextShape TextShape::Boxes{5, 6, 2, false, {1, 1, 4, 7}, GlyphInk::Outline, true};
inline constexpr TextShape TextShape::Blocks{6, 10, 3, false, {1, 1, 5, 10}, GlyphInk::Filled, false};
inline constexpr TextShape TextShape::Bars{5, 6, 2, false, {1, 1, 2, 7}, GlyphInk::Filled, true};
inline constexpr TextShape TextShape::FontBlocks{7, 0, 3, true, {1, 2, 6, -2}, GlyphInk::Filled, false};

struct DrawnText {
    int X = 0;
    int Y = 0;
    std::string Text;
    FontRequest Font;
    TColor Color;
};

class FixedTextEngine : public TextEngine {
public:
    explicit FixedTextEngine(const TextShape& shape) : Shape(shape) {}

    TextShape Shape;
    // Added to the cell of a bold font, to mimic a face whose bold comes out shorter.
    int BoldCellDelta = 0;
    std::vector<DrawnText> Drawn;
    int WidthCalls = 0;
    FontRequest LastFont;

    FontMetrics Metrics(const FontRequest& font) override {
        LastFont = font;
        return MetricsOf(font);
    }
    int TextWidth(const FontRequest& font, std::string_view text) override {
        LastFont = font;
        ++WidthCalls;
        return Shape.Advance * static_cast<int>(text.size());
    }
    void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                  std::string_view text, TColor color) override {
        LastFont = font;
        Drawn.push_back({x, y, std::string(text), font, color});
        if (Shape.Ink == GlyphInk::None)
            return;
        const int cell = MetricsOf(font).CellHeight();
        const int bottom = Shape.Glyph.Bottom > 0 ? Shape.Glyph.Bottom : cell + Shape.Glyph.Bottom;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!Shape.BlanksDraw && text[i] == ' ')
                continue;
            const int left = x + static_cast<int>(i) * Shape.Advance;
            const IntRect glyph{left + Shape.Glyph.Left, y + Shape.Glyph.Top, left + Shape.Glyph.Right,
                                y + bottom};
            const IntRect inked = glyph.Intersected(clip);
            for (int gy = inked.Top; gy < inked.Bottom; ++gy)
                for (int gx = inked.Left; gx < inked.Right; ++gx)
                    if (Shape.Ink == GlyphInk::Filled || gy == glyph.Top || gy == glyph.Bottom - 1 ||
                        gx == glyph.Left || gx == glyph.Right - 1)
                        target.SetPixel(gx, gy, color);
        }
    }

    // The calls that drew text, without the ones of blanks only.
    std::vector<DrawnText> Words() const {
        std::vector<DrawnText> words;
        for (const DrawnText& d : Drawn)
            if (d.Text.find_first_not_of(' ') != std::string::npos)
                words.push_back(d);
        return words;
    }

    // Huge fonts are kept within reach of int arithmetic.
    int CellOf(int height) const {
        const long long h = height;
        return static_cast<int>(std::min<long long>(h < 0 ? -h + Shape.Descent : h, 1 << 20));
    }

private:
    FontMetrics MetricsOf(const FontRequest& font) const {
        const int bold = font.Bold ? BoldCellDelta : 0;
        if (!Shape.CellFromFont)
            return {Shape.Ascent + bold, Shape.Descent};
        return {CellOf(font.Height) + bold - Shape.Descent, Shape.Descent};
    }
};

} // namespace vendora::test
