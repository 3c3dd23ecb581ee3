#pragma once
// What both text engines, the host's FreeType one and GDI on Windows, are held to alike: the font request
// the checks use, and the drawing the missing-picture placeholder relies on.

#include "gfx/Canvas.h"
#include "gfx/TextEngine.h"

#include <gtest/gtest.h>

#include <string>

namespace vendora::testing {

inline FontRequest Tahoma(int points, bool bold = false, bool italic = false, bool underline = false) {
    Font f;
    f.Name = "Tahoma";
    f.SetSize(points);
    f.Style = {bold, italic, underline};
    return f.Request();
}

// The placeholder's lines: white Tahoma 14 bold on the red of a solid brush, centred on 300 pixels. Only
// the text's cell changes, to red and white alone, with enough white to read; the cell is 23 pixels high
// (a 19-pixel em: 19 above the baseline, 4 below). The surface is given back for checks of the engine's
// own.
struct DrawnCell {
    Bitmap Surface;
    IntRect Cell;
};

inline DrawnCell ExpectWhiteTextOnASolidRedCell(TextEngine& engine) {
    DrawnCell drawn{Bitmap(300, 200), {}};
    XpSystemColors colors;
    Canvas canvas(drawn.Surface, engine, colors);
    canvas.GetBrush().SetColor(clRed);
    canvas.GetFont().Name = "Tahoma";
    canvas.GetFont().SetSize(14);
    canvas.GetFont().Style.Bold = true;
    canvas.GetFont().Color = clWhite;
    const std::string text = "introuvable !";
    const int w = canvas.TextWidth(text);
    const int h = canvas.TextHeight(text);
    EXPECT_EQ(h, 23);
    const int x = (300 - w) / 2;
    canvas.TextOut(x, 120, text);
    drawn.Cell = IntRect::FromSize(x, 120, w, h);
    int white = 0;
    for (int py = 0; py < 200; ++py)
        for (int px = 0; px < 300; ++px) {
            const TColor c = drawn.Surface.Pixel(px, py);
            if (!drawn.Cell.Contains(px, py)) {
                EXPECT_EQ(c, clWhite) << px << "," << py;
                continue;
            }
            EXPECT_TRUE(c == clRed || c == clWhite) << px << "," << py;
            white += c == clWhite;
        }
    EXPECT_GT(white, 150);
    return drawn;
}

} // namespace vendora::testing
