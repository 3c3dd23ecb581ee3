// The parts of the pictures that need no file: the placeholder's drawing and the scaled drawing of a
// picture. Runs on every build.
#include "html/pictures/Pictures.h"

#include "tests/support/FixedTextEngine.h"

#include <gtest/gtest.h>

#include <string>

namespace vendora {
namespace {

using test::FixedTextEngine;
using test::TextShape;

bool IsHatchOrGap(TColor c) {
    return c == clRed || c == clWhite;
}

TEST(MissingPicture, OutlineOnColumnsOneAndTwoNinetyNineOverARedHatch) {
    FixedTextEngine text{TextShape::Bars};
    const Bitmap picture = DrawMissingPicture(text, "x.jpg");
    ASSERT_EQ(picture.Width(), 300);
    ASSERT_EQ(picture.Height(), 200);
    for (int i = 1; i <= 199; ++i) {
        EXPECT_EQ(picture.Pixel(1, i), clBlack) << i;
        EXPECT_EQ(picture.Pixel(299, i), clBlack) << i;
    }
    for (int i = 1; i <= 299; ++i) {
        EXPECT_EQ(picture.Pixel(i, 1), clBlack) << i;
        EXPECT_EQ(picture.Pixel(i, 199), clBlack) << i;
    }
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(picture.Pixel(i, 0), clWhite) << i;
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(picture.Pixel(0, i), clWhite) << i;

    // Away from the text, only the hatch and the white between its lines; both show in any 8 x 8 block.
    int red = 0;
    int white = 0;
    for (int y = 10; y < 18; ++y)
        for (int x = 10; x < 18; ++x) {
            const TColor c = picture.Pixel(x, y);
            ASSERT_TRUE(IsHatchOrGap(c)) << x << ", " << y;
            (c == clRed ? red : white) += 1;
        }
    EXPECT_GT(red, 0);
    EXPECT_GT(white, red);
}

TEST(MissingPicture, NameAndSecondLineAreWhiteOnRedCellsCentred) {
    FixedTextEngine text{TextShape::Bars};
    const Bitmap picture = DrawMissingPicture(text, "abc");
    EXPECT_EQ(text.LastFont.Name, "Tahoma");
    EXPECT_EQ(text.LastFont.Height, -19); // 14 points at 96 pixels per inch
    EXPECT_TRUE(text.LastFont.Bold);
    EXPECT_FALSE(text.LastFont.Italic);

    // "abc" is 15 pixels wide: (300 - 15) / 2 = 142.5, cut to 142. The cell is red but for the glyph bars.
    for (int y = 60; y < 68; ++y)
        for (int x = 142; x < 157; ++x) {
            const bool bar = (x - 142) % 5 == 1 && y >= 61 && y <= 66;
            EXPECT_EQ(picture.Pixel(x, y), bar ? clWhite : clRed) << x << ", " << y;
        }
    // "introuvable !" is 65 pixels wide: left edge 117, at y 120.
    EXPECT_EQ(picture.Pixel(117, 120), clRed);
    EXPECT_EQ(picture.Pixel(118, 121), clWhite);
    EXPECT_EQ(picture.Pixel(181, 127), clRed);
    EXPECT_EQ(picture.Pixel(178, 121), clWhite); // the bar of "!", the thirteenth character
}

TEST(MissingPicture, WideNameStartsLeftOfTheEdgeRoundedTowardZero) {
    FixedTextEngine text{TextShape::Bars};
    // 71 characters: 355 pixels, (300 - 355) / 2 = -27.5, cut toward zero to -27 (not -28).
    const AnsiString name(71, 'w');
    const Bitmap picture = DrawMissingPicture(text, name);
    // Bars at -27 + 5k + 1: the sixth character's on column 4.
    EXPECT_EQ(picture.Pixel(4, 62), clWhite);
    EXPECT_EQ(picture.Pixel(3, 62), clRed);
    // The cell covers the whole width of the row, both edges cut off.
    EXPECT_EQ(picture.Pixel(0, 60), clRed);
    EXPECT_EQ(picture.Pixel(299, 60), clRed);
}

TEST(PictureDrawing, AssignedBitmapScalesIntoTheRectangleAndLeavesTheCanvasState) {
    Bitmap source(2, 2);
    source.SetPixel(0, 0, clRed);
    source.SetPixel(1, 0, clBlue);
    source.SetPixel(0, 1, clYellow);
    source.SetPixel(1, 1, clBlack);
    TJPEGImage picture;
    picture.Assign(source);
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(picture.Height(), 2);
    source.Fill(clWhite); // the picture holds its own copy

    FixedTextEngine text{TextShape::Bars};
    Bitmap surface(10, 10, clGray);
    XpSystemColors colors;
    Canvas canvas(surface, text, colors);
    canvas.GetPen().Color = clPurple;
    canvas.GetBrush().SetStyle(BrushStyle::DiagCross);
    canvas.GetFont().Name = "Courier New";
    const Pen pen = canvas.GetPen();
    const Brush brush = canvas.GetBrush();
    const Font font = canvas.GetFont();

    DrawPicture(canvas, {1, 2, 5, 8}, &picture); // 4 x 6: each source pixel becomes 2 x 3
    EXPECT_EQ(surface.Pixel(1, 2), clRed);
    EXPECT_EQ(surface.Pixel(2, 4), clRed);
    EXPECT_EQ(surface.Pixel(3, 2), clBlue);
    EXPECT_EQ(surface.Pixel(1, 5), clYellow);
    EXPECT_EQ(surface.Pixel(4, 7), clBlack);
    EXPECT_EQ(surface.Pixel(5, 7), clGray); // right and bottom excluded
    EXPECT_EQ(surface.Pixel(4, 8), clGray);
    EXPECT_EQ(surface.Pixel(0, 2), clGray);
    EXPECT_EQ(canvas.GetPen(), pen);
    EXPECT_EQ(canvas.GetBrush(), brush);
    EXPECT_EQ(canvas.GetFont(), font);

    const Bitmap before = surface;
    DrawPicture(canvas, {0, 0, 10, 10}, nullptr);
    TJPEGImage empty;
    DrawPicture(canvas, {0, 0, 10, 10}, &empty);
    EXPECT_EQ(surface, before);
}

} // namespace
} // namespace vendora
