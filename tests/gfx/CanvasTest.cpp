#include "gfx/Canvas.h"

#include "platform/Platform.h"
#include "tests/support/FixedTextEngine.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace vendora {
namespace {

constexpr TColor Red = clRed;
constexpr TColor White = clWhite;

// The surface as text, one character per pixel: '#' for colour, '.' for white, '?' for anything else.
std::string Picture(const Bitmap& b, TColor ink, IntRect area) {
    std::string out;
    for (int y = area.Top; y < area.Bottom; ++y) {
        for (int x = area.Left; x < area.Right; ++x) {
            const TColor c = b.Pixel(x, y);
            out += c == ink ? '#' : c == White ? '.' : '?';
        }
        out += '\n';
    }
    return out;
}

std::vector<IntPoint> Painted(const Bitmap& b) {
    std::vector<IntPoint> points;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != White)
                points.push_back({x, y});
    return points;
}

class CanvasTest : public ::testing::Test {
protected:
    test::MemoryPlatform machine; // the system colours the canvas is handed
    Bitmap surface{20, 20};
    test::FixedTextEngine engine{test::TextShape::Boxes};
    Canvas canvas{surface, engine, machine};
};

TEST_F(CanvasTest, LinesColourTheStartAndNotTheEndInEveryOctant) {
    // Lines from the centre to points around it: each must hold |major| pixels, start with the centre, stay
    // within one pixel of the ideal line and never reach the end point.
    const std::vector<IntPoint> ends = {{17, 10}, {17, 13}, {13, 17}, {10, 17}, {7, 17}, {3, 13},
                                        {3, 10},  {3, 7},   {7, 3},   {10, 3},  {13, 3}, {17, 7},
                                        {16, 16}, {4, 4},   {16, 4},  {4, 16}};
    for (IntPoint end : ends) {
        surface.Fill(White);
        canvas.GetPen().Color = Red;
        canvas.MoveTo(10, 10);
        canvas.LineTo(end.X, end.Y);
        const std::vector<IntPoint> points = Painted(surface);
        const int dx = end.X - 10;
        const int dy = end.Y - 10;
        const int major = std::max(std::abs(dx), std::abs(dy));
        SCOPED_TRACE(testing::Message() << "to " << end.X << "," << end.Y);
        EXPECT_EQ(points.size(), static_cast<std::size_t>(major));
        EXPECT_EQ(surface.Pixel(10, 10), Red);
        EXPECT_EQ(surface.Pixel(end.X, end.Y), White);
        for (IntPoint p : points) {
            // Distance to the ideal line, measured across the major axis: at most half a pixel.
            const double t = std::abs(dx) >= std::abs(dy) ? double(p.X - 10) / dx : double(p.Y - 10) / dy;
            EXPECT_GE(t, 0.0);
            EXPECT_LT(t, 1.0);
            const double across = std::abs(dx) >= std::abs(dy) ? p.Y - (10 + t * dy) : p.X - (10 + t * dx);
            EXPECT_LE(std::abs(across), 0.5);
        }
        EXPECT_EQ(canvas.PenPos(), end);
    }
}

TEST_F(CanvasTest, HorizontalAndVerticalLinesAndTheirReverse) {
    canvas.GetPen().Color = Red;
    canvas.MoveTo(2, 1);
    canvas.LineTo(6, 1);
    canvas.MoveTo(6, 3);
    canvas.LineTo(2, 3);
    canvas.MoveTo(1, 5);
    canvas.LineTo(1, 8);
    canvas.MoveTo(3, 5);
    canvas.LineTo(3, 5); // a line to its own start paints nothing
    EXPECT_EQ(Picture(surface, Red, {0, 0, 8, 9}), "........\n"
                                                   "..####..\n"
                                                   "........\n"
                                                   "...####.\n"
                                                   "........\n"
                                                   ".#......\n"
                                                   ".#......\n"
                                                   ".#......\n"
                                                   "........\n");
}

TEST_F(CanvasTest, ClearPenDrawsNoLineButMovesThePen) {
    canvas.GetPen().Style = PenStyle::Clear;
    canvas.MoveTo(0, 0);
    canvas.LineTo(10, 10);
    EXPECT_TRUE(Painted(surface).empty());
    EXPECT_EQ(canvas.PenPos(), (IntPoint{10, 10}));
}

TEST_F(CanvasTest, PenWidthZeroAndOneAreOnePixelWideAndWiderPensAreWider) {
    for (int width : {0, 1, 3}) {
        surface.Fill(White);
        canvas.GetPen() = {Red, PenStyle::Solid, width};
        canvas.MoveTo(2, 10);
        canvas.LineTo(12, 10);
        int rows = 0;
        for (int y = 0; y < 20; ++y)
            rows += surface.Pixel(7, y) == Red;
        EXPECT_EQ(rows, std::max(width, 1)) << width;
        if (width <= 1) {
            EXPECT_EQ(Painted(surface).size(), 10u) << width;
        }
    }
}

// Lines and frames that reach a million pixels past the surface colour what the same shapes colour when
// they end just past it: the canvas clips them itself, so callers need not trim them first.
TEST_F(CanvasTest, ShapesReachingFarBeyondTheSurfaceColourWhatTheirVisiblePartDoes) {
    constexpr int Far = 1'000'000;
    struct Shape {
        IntRect Far;
        IntRect Near;
    };
    const std::vector<Shape> lines = {
        {{-Far, 10, Far, 10}, {-5, 10, 25, 10}},
        {{Far, 10, -Far, 10}, {25, 10, -5, 10}},
        {{7, -Far, 7, Far}, {7, -5, 7, 25}},
        {{7, Far, 7, -Far}, {7, 25, 7, -5}},
        {{-Far, -Far, Far, Far}, {-6, -6, 26, 26}},
        {{Far + 19, -Far, 19 - Far, Far}, {25, -6, -7, 26}},
        {{-2 * Far, -Far, 2 * Far, Far}, {-40, -20, 40, 20}},
        {{3 + Far, 2 * Far, 3, 0}, {23, 40, 3, 0}},
    };
    for (int width : {1, 3}) {
        for (const Shape& line : lines) {
            canvas.GetPen() = {Red, PenStyle::Solid, width};
            surface.Fill(White);
            canvas.MoveTo(line.Near.Left, line.Near.Top);
            canvas.LineTo(line.Near.Right, line.Near.Bottom);
            const std::string expected = Picture(surface, Red, surface.Bounds());
            surface.Fill(White);
            canvas.MoveTo(line.Far.Left, line.Far.Top);
            canvas.LineTo(line.Far.Right, line.Far.Bottom);
            EXPECT_EQ(Picture(surface, Red, surface.Bounds()), expected)
                << width << ": " << line.Far.Left << "," << line.Far.Top;
            EXPECT_EQ(canvas.PenPos(), (IntPoint{line.Far.Right, line.Far.Bottom}));
        }
        const std::vector<Shape> frames = {
            {{3, -Far, Far, Far}, {3, -5, 30, 30}},
            {{-Far, -Far, 12, 15}, {-5, -5, 12, 15}},
            {{-Far, -Far, Far, Far}, {-5, -5, 30, 30}},
        };
        canvas.GetBrush().SetColor(clBlue);
        for (const Shape& frame : frames) {
            surface.Fill(White);
            canvas.Rectangle(frame.Near);
            const std::string expected = Picture(surface, Red, surface.Bounds());
            surface.Fill(White);
            canvas.Rectangle(frame.Far);
            EXPECT_EQ(Picture(surface, Red, surface.Bounds()), expected) << width << ": " << frame.Far.Left;
        }
    }
}

TEST_F(CanvasTest, RectangleFramesWithThePenAndFillsWithTheBrushExcludingRightAndBottom) {
    canvas.GetPen().Color = Red;
    canvas.GetBrush().SetColor(clBlue);
    canvas.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Picture(surface, Red, {0, 0, 7, 6}), ".......\n"
                                                   ".#####.\n"
                                                   ".#???#.\n"
                                                   ".#???#.\n"
                                                   ".#####.\n"
                                                   ".......\n");
    EXPECT_EQ(surface.Pixel(2, 2), clBlue);
    EXPECT_EQ(surface.Pixel(4, 3), clBlue);
}

TEST_F(CanvasTest, RectangleWithAClearBrushOnlyFramesAndWithAClearPenFillsOnePixelLess) {
    canvas.GetPen().Color = Red;
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
    canvas.Rectangle(4, 1, 0, 4); // given right to left: the same rectangle
    canvas.GetPen().Style = PenStyle::Clear;
    canvas.GetBrush().SetColor(Red);
    canvas.Rectangle(6, 0, 10, 4);
    EXPECT_EQ(Picture(surface, Red, {0, 0, 11, 5}), "......###..\n"
                                                    "####..###..\n"
                                                    "#..#..###..\n"
                                                    "####.......\n"
                                                    "...........\n");
}

TEST_F(CanvasTest, RectangleLeavesThePenWhereItWas) {
    canvas.MoveTo(3, 4);
    canvas.Rectangle(0, 0, 5, 5);
    EXPECT_EQ(canvas.PenPos(), (IntPoint{3, 4}));
}

TEST_F(CanvasTest, DiagonalCrossHatchLeavesTheGapsShowing) {
    Bitmap big(16, 16);
    Canvas c(big, engine, machine);
    c.GetBrush().SetColor(Red);
    c.GetBrush().SetStyle(BrushStyle::DiagCross);
    c.FillRect({0, 0, 16, 16});
    const std::string cell = "#......#\n"
                             ".#....#.\n"
                             "..#..#..\n"
                             "...##...\n"
                             "...##...\n"
                             "..#..#..\n"
                             ".#....#.\n"
                             "#......#\n";
    EXPECT_EQ(Picture(big, Red, {0, 0, 8, 8}), cell);
    EXPECT_EQ(Picture(big, Red, {8, 8, 16, 16}), cell);
    // The pattern belongs to the surface: a fill at an odd place continues the same lattice.
    Bitmap other(16, 16);
    Canvas d(other, engine, machine);
    d.GetBrush().SetColor(Red);
    d.GetBrush().SetStyle(BrushStyle::DiagCross);
    d.SetOrigin({3, 5});
    d.FillRect({0, 0, 13, 11});
    EXPECT_EQ(Picture(other, Red, {3, 5, 16, 16}), Picture(big, Red, {3, 5, 16, 16}));
    std::string blank;
    for (int y = 0; y < 16; ++y)
        blank += "...\n";
    EXPECT_EQ(Picture(other, Red, {0, 0, 3, 16}), blank);
}

TEST_F(CanvasTest, ColouringAClearBrushMakesItSolidButKeepsAHatch) {
    Brush brush;
    brush.SetStyle(BrushStyle::Clear);
    brush.SetColor(Red);
    EXPECT_EQ(brush.Style(), BrushStyle::Solid);
    brush.SetStyle(BrushStyle::DiagCross);
    brush.SetColor(clBlue);
    EXPECT_EQ(brush.Style(), BrushStyle::DiagCross);
    EXPECT_EQ(brush.Color(), clBlue);
}

TEST_F(CanvasTest, FillRectWithAClearBrushPaintsNothing) {
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
    canvas.FillRect({0, 0, 20, 20});
    EXPECT_TRUE(Painted(surface).empty());
}

TEST_F(CanvasTest, SystemColoursAreResolvedWithTheColoursTheCanvasWasHanded) {
    machine.SysColors[SysColor::BtnFace] = TColor::Rgb(1, 2, 3);
    canvas.GetBrush().SetColor(clBtnFace);
    canvas.FillRect({0, 0, 1, 1});
    EXPECT_EQ(surface.Pixel(0, 0), TColor::Rgb(1, 2, 3));
    canvas.GetPen().Color = clBtnFace;
    canvas.MoveTo(1, 0);
    canvas.LineTo(2, 0);
    EXPECT_EQ(surface.Pixel(1, 0), TColor::Rgb(1, 2, 3));
    canvas.SetPixel(2, 0, clBtnFace);
    EXPECT_EQ(surface.Pixel(2, 0), TColor::Rgb(1, 2, 3));
    EXPECT_EQ(canvas.Resolve(clBtnFace), TColor::Rgb(1, 2, 3));
    EXPECT_EQ(canvas.Resolve(Red), Red);
}

// ---------------------------------------------------------------------------------------------------------

void Number(Bitmap& b) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.SetPixel(x, y, TColor(static_cast<std::uint32_t>(y * 100 + x)));
}

TEST_F(CanvasTest, CopyRectHandlesOverlapInBothDirections) {
    struct Case {
        IntRect Dest;
        IntRect Source;
    };
    for (const Case& k : {Case{{3, 2, 13, 12}, {0, 0, 10, 10}}, Case{{0, 0, 10, 10}, {3, 2, 13, 12}},
                          Case{{5, 0, 15, 1}, {0, 0, 10, 1}}, Case{{0, 5, 1, 15}, {0, 0, 1, 10}}}) {
        Number(surface);
        const Bitmap before = surface;
        canvas.CopyRect(k.Dest, k.Source);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool inside = k.Dest.Contains(x, y);
                const TColor expected =
                    inside ? before.Pixel(x - k.Dest.Left + k.Source.Left, y - k.Dest.Top + k.Source.Top)
                           : before.Pixel(x, y);
                ASSERT_EQ(surface.Pixel(x, y), expected) << x << "," << y;
            }
    }
}

TEST_F(CanvasTest, CopyRectFromBeyondTheSurfaceKeepsThoseDestinationPixels) {
    Number(surface);
    const Bitmap before = surface;
    canvas.CopyRect({0, 0, 4, 1}, {18, 5, 22, 6});
    EXPECT_EQ(surface.Pixel(0, 0), before.Pixel(18, 5));
    EXPECT_EQ(surface.Pixel(1, 0), before.Pixel(19, 5));
    EXPECT_EQ(surface.Pixel(2, 0), before.Pixel(2, 0));
    EXPECT_EQ(surface.Pixel(3, 0), before.Pixel(3, 0));
}

TEST_F(CanvasTest, StretchDrawScalesEachAxisOnItsOwnByNearestPixel) {
    Bitmap source(4, 2);
    Number(source);
    // Twice as wide, three times as high: every source pixel becomes a 2 x 3 block.
    canvas.StretchDraw({1, 1, 9, 7}, source);
    for (int y = 1; y < 7; ++y)
        for (int x = 1; x < 9; ++x)
            ASSERT_EQ(surface.Pixel(x, y), source.Pixel((x - 1) / 2, (y - 1) / 3)) << x << "," << y;
    EXPECT_EQ(surface.Pixel(9, 1), White);
    EXPECT_EQ(surface.Pixel(1, 7), White);

    // Down to half the width and the same height: the pixel under each destination pixel's centre.
    Bitmap wide(8, 2);
    Number(wide);
    surface.Fill(White);
    canvas.StretchDraw({0, 0, 4, 2}, wide);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(surface.Pixel(x, 0), wide.Pixel(2 * x + 1, 0));
        EXPECT_EQ(surface.Pixel(x, 1), wide.Pixel(2 * x + 1, 1));
    }

    // Three source columns onto five: floor((2i + 1) * 3 / 10) = 0, 0, 1, 2, 2.
    Bitmap three(3, 1);
    Number(three);
    canvas.StretchDraw({0, 10, 5, 11}, three);
    const int expected[] = {0, 0, 1, 2, 2};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(surface.Pixel(i, 10), three.Pixel(expected[i], 0)) << i;
}

TEST_F(CanvasTest, StretchDrawOfAnEmptyBitmapOrIntoAnEmptyRectangleDrawsNothing) {
    canvas.StretchDraw({0, 0, 5, 5}, Bitmap());
    Bitmap one(1, 1, Red);
    canvas.StretchDraw({3, 3, 3, 8}, one);
    EXPECT_TRUE(Painted(surface).empty());
    canvas.Draw(3, 3, one);
    EXPECT_EQ(Painted(surface).size(), 1u);
}

TEST_F(CanvasTest, OriginMovesAndClipLimitsEveryOperation) {
    canvas.SetOrigin({5, 4});
    canvas.SetClip({0, 0, 6, 5}); // the control's own client area, surface columns 5..10, rows 4..8
    EXPECT_EQ(canvas.Clip(), (IntRect{0, 0, 6, 5}));
    EXPECT_TRUE(canvas.RectVisible({5, 4, 10, 10}));
    EXPECT_FALSE(canvas.RectVisible({6, 0, 10, 5}));
    EXPECT_FALSE(canvas.RectVisible({0, 5, 6, 9}));
    EXPECT_FALSE(canvas.RectVisible({-3, -3, 0, 0}));
    EXPECT_FALSE(canvas.RectVisible({2, 2, 2, 4})); // empty

    canvas.GetBrush().SetColor(Red);
    canvas.FillRect({-10, -10, 30, 30});
    canvas.GetPen().Color = clBlue;
    canvas.MoveTo(-5, 2);
    canvas.LineTo(40, 2);
    canvas.SetPixel(-1, 0, clBlue);
    canvas.SetPixel(0, 0, clBlue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 11 && y >= 4 && y < 9;
            const TColor expected = !inside ? White : (y == 6 || (x == 5 && y == 4)) ? clBlue : Red;
            ASSERT_EQ(surface.Pixel(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(canvas.Pixel(0, 0), clBlue);
    EXPECT_EQ(canvas.Pixel(-1, -1), White); // reading is not clipped
}

TEST_F(CanvasTest, ClipNeverReachesPastTheSurfaceAndResetRestoresIt) {
    canvas.SetOrigin({-2, -3});
    canvas.SetClip({-100, -100, 100, 100});
    EXPECT_EQ(canvas.Clip(), (IntRect{2, 3, 22, 23}));
    EXPECT_FALSE(canvas.RectVisible({0, 0, 2, 3}));
    canvas.SetClip({0, 0, 1, 1});
    canvas.ResetClip();
    EXPECT_EQ(canvas.Clip(), (IntRect{2, 3, 22, 23}));
    // Far off the surface, lines and stretches are cheap no-ops.
    canvas.MoveTo(-1000000, 5);
    canvas.LineTo(1000000, 5);
    EXPECT_EQ(Painted(surface).size(), 20u);
}

TEST_F(CanvasTest, CopyRectAndStretchDrawAreClipped) {
    Number(surface);
    const Bitmap before = surface;
    canvas.SetClip({0, 0, 2, 20});
    canvas.CopyRect({0, 0, 4, 4}, {10, 10, 14, 14});
    canvas.Draw(0, 10, Bitmap(4, 4, Red));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 4; ++x) {
            TColor expected = before.Pixel(x, y);
            if (x < 2 && y < 4)
                expected = before.Pixel(x + 10, y + 10);
            if (x < 2 && y >= 10 && y < 14)
                expected = Red;
            ASSERT_EQ(surface.Pixel(x, y), expected) << x << "," << y;
        }
}

// ---------------------------------------------------------------------------------------------------------

TEST_F(CanvasTest, TextOutWithASolidBrushFillsTheCellFirst) {
    canvas.GetFont().Color = Red;
    canvas.GetBrush().SetColor(clBlue);
    canvas.TextOut(2, 3, "ab");
    // The cell: 10 x 8 from (2, 3), blue except the glyph outlines.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool cell = x >= 2 && x < 12 && y >= 3 && y < 11;
            if (!cell) {
                ASSERT_EQ(surface.Pixel(x, y), White) << x << "," << y;
            }
        }
    EXPECT_EQ(surface.Pixel(2, 3), clBlue);
    EXPECT_EQ(surface.Pixel(11, 10), clBlue);
    EXPECT_EQ(surface.Pixel(3, 4), Red);    // first glyph's corner
    EXPECT_EQ(surface.Pixel(8, 9), Red);    // second glyph's bottom-left
    EXPECT_EQ(surface.Pixel(4, 6), clBlue); // inside the first box
    EXPECT_EQ(canvas.PenPos(), (IntPoint{12, 3}));
}

TEST_F(CanvasTest, TextOutWithAClearOrHatchedBrushDrawsOnlyTheGlyphs) {
    for (BrushStyle style : {BrushStyle::Clear, BrushStyle::DiagCross}) {
        surface.Fill(White);
        canvas.GetFont().Color = Red;
        canvas.GetBrush().SetStyle(style);
        canvas.TextOut(0, 0, "a");
        EXPECT_EQ(Picture(surface, Red, {0, 0, 5, 8}), ".....\n"
                                                       ".###.\n"
                                                       ".#.#.\n"
                                                       ".#.#.\n"
                                                       ".#.#.\n"
                                                       ".#.#.\n"
                                                       ".###.\n"
                                                       ".....\n");
    }
}

TEST_F(CanvasTest, TextIsClippedAndFollowsTheOrigin) {
    canvas.SetOrigin({10, 10});
    canvas.SetClip({0, 0, 3, 20});
    canvas.GetFont().Color = Red;
    canvas.GetBrush().SetColor(clBlue);
    canvas.TextOut(-1, 0, "aa");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (x < 10 || x >= 13 || y < 10 || y >= 18) {
                ASSERT_EQ(surface.Pixel(x, y), White) << x << "," << y;
            }
    EXPECT_EQ(surface.Pixel(10, 11), Red);
    EXPECT_EQ(surface.Pixel(11, 12), clBlue);
}

TEST_F(CanvasTest, TextMeasuresWithTheCurrentFont) {
    EXPECT_EQ(canvas.TextWidth("abc"), 15);
    EXPECT_EQ(canvas.TextWidth(""), 0);
    EXPECT_EQ(canvas.TextHeight("W"), 8);
}

TEST(FontTest, SizeAndHeightAreTheSameThingAtThePixelsPerInch) {
    Font font;
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(font.Size(), 10);
    font.SetSize(14);
    EXPECT_EQ(font.Height(), -19);
    EXPECT_EQ(font.Size(), 14);
    font.SetHeight(16); // a cell height reads as a negative size
    EXPECT_EQ(font.Size(), -12);
    font.PixelsPerInch = 120;
    font.SetSize(9);
    EXPECT_EQ(font.Height(), -15);
}

TEST_F(CanvasTest, StateSaverRestoresFontBrushAndPenOnEveryPath) {
    canvas.GetFont().Name = "Tahoma";
    canvas.GetBrush().SetColor(Red);
    canvas.GetPen().Color = clBlue;
    const Font font = canvas.GetFont();
    const Brush brush = canvas.GetBrush();
    const Pen pen = canvas.GetPen();
    try {
        CanvasStateSaver saver(canvas);
        canvas.GetFont().Style.Bold = true;
        canvas.GetFont().SetSize(20);
        canvas.GetBrush().SetStyle(BrushStyle::Clear);
        canvas.GetPen().Style = PenStyle::Clear;
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(canvas.GetFont(), font);
    EXPECT_EQ(canvas.GetBrush(), brush);
    EXPECT_EQ(canvas.GetPen(), pen);
}

TEST(BitmapTest, SizeFillAndPixels) {
    Bitmap b(3, 2, Red);
    EXPECT_EQ(b.Pixel(2, 1), Red);
    EXPECT_EQ(b.Pixel(3, 0), clBlack); // outside reads black
    b.SetPixel(-1, 0, clBlue);         // and ignores writes
    b.SetPixel(1, 1, clBlue);
    b.SetSize(4, 1);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 1);
    EXPECT_EQ(b.Pixel(2, 0), Red);   // kept
    EXPECT_EQ(b.Pixel(3, 0), White); // new
    b.SetSize(-5, 3);
    EXPECT_TRUE(b.Empty());
}

TEST(BitmapTest, HoldsRgbOnly) {
    // A system colour has no value without a machine's colours: handing one unresolved is the caller's
    // fault, not a dark red pixel.
    EXPECT_THROW(Bitmap(1, 1, clBtnFace), std::logic_error);
    Bitmap b(1, 1, Red);
    EXPECT_THROW(b.Fill(clBtnFace), std::logic_error);
    EXPECT_THROW(b.SetPixel(0, 0, clBtnFace), std::logic_error);
    EXPECT_EQ(b.Pixel(0, 0), Red);
}

} // namespace
} // namespace vendora

namespace vendora {
namespace {

// The missing-picture placeholder's frame: a black outline on columns 1 and 299 and rows 1 and 199 around
// a red diagonal-cross hatch whose gaps leave the white showing.
TEST(CanvasPlaceholderTest, FramedHatchOnWhite) {
    Bitmap b(300, 200);
    test::FixedTextEngine engine{test::TextShape::Boxes};
    XpSystemColors colors;
    Canvas c(b, engine, colors);
    c.GetPen().Color = clBlack;
    c.GetBrush().SetColor(clRed);
    c.GetBrush().SetStyle(BrushStyle::DiagCross);
    c.Rectangle(1, 1, 300, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            TColor expected = clWhite;
            if (x == 0 || y == 0)
                expected = clWhite;
            else if (x == 1 || x == 299 || y == 1 || y == 199)
                expected = clBlack;
            else if (((x - y) & 7) == 0 || ((x + y) & 7) == 7)
                expected = clRed;
            ASSERT_EQ(b.Pixel(x, y), expected) << x << "," << y;
        }
}

} // namespace
} // namespace vendora
