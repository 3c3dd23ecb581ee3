#pragma once
// A machine of the XP colours, a white surface, a canvas over it and the fixed-metrics text engine, for
// the layout and form tests.
// The caller's font is left at the canvas default (height -11: a cell of 14), so that it differs from the
// renderer's own "Tahoma" 10 points (height -13: a cell of 16).

#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "html/DrawHtml.h"
#include "html/pictures/Pictures.h"
#include "tests/support/FixedTextEngine.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

namespace vendora::test {

class HtmlCanvas : public ::testing::Test {
protected:
    static constexpr int Cell = 16;       // Tahoma 10 points
    static constexpr int CallerCell = 14; // the canvas's own font
    static constexpr int W = TextShape::FontBlocks.Advance;

    MemoryPlatform machine; // the system colours of buttons and fields
    PictureCache pictures;
    FixedTextEngine engine{TextShape::FontBlocks};
    Bitmap surface{700, 400};
    Canvas canvas{surface, engine, machine};
    // What the renderer is handed: the pictures read from files, decoded with pictureDecoder.
    FileSystem* files = &machine.Files();
    const PictureDecoder* pictureDecoder = nullptr;

    HtmlHost Host() { return HtmlHost{&pictures, PictureServices{*files, engine, pictureDecoder}}; }
    int Draw(std::string_view text, int x = 10, int y = 5, int width = 200) {
        return DrawHtml(canvas, Host(), x, y, width, text, clWhite);
    }
    bool Ink(int x, int y) const { return surface.Pixel(x, y) != clWhite; }
    TColor At(int x, int y) const { return surface.Pixel(x, y); }
    // Whether a glyph block was drawn with its cell's left edge at x and top at y.
    bool GlyphAt(int x, int y, int cell = Cell) const {
        return Ink(x + 1, y + 2) && Ink(x + 5, y + cell - 3) && !Ink(x, y + 2) && !Ink(x + 6, y + 2);
    }
    bool WhiteArea(int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (Ink(x, y))
                    return false;
        return true;
    }
};

} // namespace vendora::test
