#include "controls/ShadedShapes.h"

#include "controls/ColorOps.h"

#include "tests/support/FixedTextEngine.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

namespace vendora {
namespace {

// A colour none of the drawing uses, so that untouched pixels show.
constexpr TColor background = TColor::Rgb(1, 2, 3);
constexpr TColor light = TColor(0xC0C0C0);
constexpr TColor dark = TColor(0x404040);

class ShadedShapesTest : public ::testing::Test {
protected:
    ShadedShapesTest() : surface(60, 40, background), canvas(surface, text, machine) {}

    void ExpectRow(int y, int from, int to, TColor color) {
        for (int x = from; x <= to; ++x)
            EXPECT_EQ(surface.Pixel(x, y), color) << "at (" << x << ", " << y << ")";
    }
    void ExpectColumn(int x, int from, int to, TColor color) {
        for (int y = from; y <= to; ++y)
            EXPECT_EQ(surface.Pixel(x, y), color) << "at (" << x << ", " << y << ")";
    }

    // The shapes draw no text; their canvas still needs an engine.
    test::FixedTextEngine text{test::TextShape::Invisible};
    // The machine whose system colours the canvas resolves: Windows XP's unless a test plants its own.
    test::MemoryPlatform machine;
    Bitmap surface;
    Canvas canvas;
};

TEST_F(ShadedShapesTest, ButtonOfTwentyNinePixelsHasItsThreeOverlappingBands) {
    // Face 0x808080 with step 0x404040: light 0xC0C0C0, dark 0x404040.
    DrawShadedBox(canvas, 0, 0, 40, 28, TColor(0x808080), TColor(0x404040), false);
    for (int y = 1; y <= 11; ++y)
        ExpectRow(y, 1, 39, light);
    // The gradient runs over rows 11-16; rows 15 and 16 are painted over by the lower band. Each product is
    // rounded on its own and green and blue are cut by their masks, so green and blue can trail red by one.
    ExpectRow(12, 1, 39, TColor::Rgb(167, 166, 166));
    ExpectRow(13, 1, 39, TColor::Rgb(141, 140, 140));
    ExpectRow(14, 1, 39, TColor::Rgb(115, 115, 115));
    for (int y = 15; y <= 27; ++y)
        ExpectRow(y, 1, 39, dark);
}

TEST_F(ShadedShapesTest, RaisedAndSunkenFramesSwapTheirColoursAndLeaveFourCornerPixels) {
    for (bool sunken : {false, true}) {
        surface.Fill(background);
        DrawShadedBox(canvas, 2, 3, 40, 28, TColor(0x808080), TColor(0x404040), sunken);
        const TColor lit = sunken ? FrameDark : FrameLight;
        const TColor shadow = sunken ? FrameLight : FrameDark;
        ExpectRow(3, 2, 40, lit);        // top: (x, y) to (x + w - 1, y) excluded
        ExpectColumn(2, 3, 29, lit);     // left: (x, y) to (x, y + h - 1) excluded
        ExpectColumn(42, 4, 31, shadow); // right: from (x + w, y + h) up, (x + w, y) excluded
        ExpectRow(31, 3, 42, shadow);    // bottom: from (x + w, y + h) left, (x, y + h) excluded
        EXPECT_EQ(surface.Pixel(41, 3), background);
        EXPECT_EQ(surface.Pixel(42, 3), background);
        EXPECT_EQ(surface.Pixel(2, 30), background);
        EXPECT_EQ(surface.Pixel(2, 31), background);
        // The upper band is dark when sunken, the lower one light.
        EXPECT_EQ(surface.Pixel(10, 4), sunken ? dark : light);
        EXPECT_EQ(surface.Pixel(10, 30), sunken ? light : dark);
        // Nothing outside the box.
        ExpectRow(2, 0, 59, background);
        ExpectRow(32, 0, 59, background);
        ExpectColumn(1, 0, 39, background);
        ExpectColumn(43, 0, 39, background);
    }
}

TEST_F(ShadedShapesTest, ProgressWindowFaceUsesTheWorkedBandColours) {
    DrawShadedBox(canvas, 0, 0, 30, 28, TColor(0xD8E9EC), ButtonShadingStep, false);
    EXPECT_EQ(surface.Pixel(5, 5), clWhite);
    EXPECT_EQ(surface.Pixel(5, 20), TColor(0x99AAAD));
}

TEST_F(ShadedShapesTest, WidthBelowTwoDrawsNothingAtAll) {
    const Bitmap before = surface;
    DrawShadedBox(canvas, 5, 5, 1, 20, TColor(0x808080), TColor(0x404040), false);
    DrawShadedBox(canvas, 5, 5, 0, 20, TColor(0x808080), TColor(0x404040), true);
    DrawShadedBox(canvas, 5, 5, -3, 20, TColor(0x808080), TColor(0x404040), true);
    EXPECT_EQ(surface, before);
}

TEST_F(ShadedShapesTest, HeightFourLosesItsTopFrameLineExceptTheFirstPixel) {
    DrawShadedBox(canvas, 0, 0, 20, 4, TColor(0x808080), TColor(0x404040), false);
    EXPECT_EQ(surface.Pixel(0, 0), FrameLight);
    ExpectRow(0, 1, 19, dark); // the lower band covers rows 0-3, columns 1-19
    for (int y = 1; y <= 3; ++y)
        ExpectRow(y, 1, 19, dark);
    ExpectRow(4, 1, 20, FrameDark);
    ExpectColumn(20, 1, 4, FrameDark);
    EXPECT_EQ(surface.Pixel(20, 0), background);
}

TEST_F(ShadedShapesTest, GradientBandCoversBothEndRowsAndExcludesTheRightColumn) {
    FillGradientBand(canvas, 3, 2, 10, 4, clBlack, TColor::Rgb(200, 100, 40));
    ExpectRow(2, 3, 12, clBlack);
    ExpectRow(6, 3, 12, TColor::Rgb(200, 100, 40));
    ExpectRow(4, 3, 12, TColor::Rgb(100, 50, 20));
    ExpectColumn(13, 0, 39, background);
    ExpectColumn(2, 0, 39, background);
    ExpectRow(1, 0, 59, background);
    ExpectRow(7, 0, 59, background);
}

TEST_F(ShadedShapesTest, GradientBandOfNoHeightDrawsNothing) {
    const Bitmap before = surface;
    FillGradientBand(canvas, 0, 0, 20, 0, clBlack, clBlack);
    FillGradientBand(canvas, 0, 5, 20, -3, clBlack, clBlack);
    EXPECT_EQ(surface, before);
}

TEST_F(ShadedShapesTest, GradientBandRoundsEachProductOnItsOwn) {
    // The middle row of a band of height 2 takes half of each end: 127.5 rounds to 128 twice, and red is
    // capped at 255 instead of carrying into green.
    FillGradientBand(canvas, 0, 0, 4, 2, clWhite, clWhite);
    EXPECT_EQ(surface.Pixel(0, 1), clWhite);
    // Red 1: 0.5 rounds to 0 twice. Green and blue 1 are 0x100 and 0x10000 in place, whose halves are
    // whole numbers and add up again.
    FillGradientBand(canvas, 0, 10, 4, 2, TColor::Rgb(1, 1, 1), TColor::Rgb(1, 1, 1));
    EXPECT_EQ(surface.Pixel(0, 11), TColor::Rgb(0, 1, 1));
}

TEST_F(ShadedShapesTest, PartialRepaintPaintsTheSamePixelsInsideTheClip) {
    Bitmap whole(60, 40, background);
    Canvas full(whole, text, machine);
    DrawShadedBox(full, 0, 0, 40, 28, TColor(0x808080), TColor(0x404040), false);

    canvas.SetClip({5, 10, 30, 16});
    DrawShadedBox(canvas, 0, 0, 40, 28, TColor(0x808080), TColor(0x404040), false);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inside = x >= 5 && x < 30 && y >= 10 && y < 16;
            ASSERT_EQ(surface.Pixel(x, y), inside ? whole.Pixel(x, y) : background) << x << ", " << y;
        }
}

TEST_F(ShadedShapesTest, BoxOnAWindowlessControlFollowsTheOrigin) {
    canvas.SetOrigin({10, 5});
    DrawShadedBox(canvas, 0, 0, 20, 10, TColor(0x808080), TColor(0x404040), true);
    EXPECT_EQ(surface.Pixel(10, 5), FrameDark);
    EXPECT_EQ(surface.Pixel(30, 15), FrameLight);
    EXPECT_EQ(surface.Pixel(9, 5), background);
}

TEST_F(ShadedShapesTest, DarkenRectIncludesBothEnds) {
    surface.Fill(clWhite);
    const TColor shadow = MixColors(TColor::Rgb(128, 128, 128), clBlack, 0.5);
    DarkenRect(canvas, 3, 4, 7, 9, shadow);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inside = x >= 3 && x <= 7 && y >= 4 && y <= 9;
            ASSERT_EQ(surface.Pixel(x, y), inside ? TColor::Rgb(191, 191, 191) : clWhite) << x << ", " << y;
        }
    DarkenRect(canvas, 3, 4, 3, 4, TColor::Rgb(250, 0, 0));
    EXPECT_EQ(surface.Pixel(3, 4), TColor::Rgb(0, 191, 191));
    DarkenRect(canvas, -100, -100, 100000, 100000, TColor::Rgb(0, 0, 1));
    EXPECT_EQ(surface.Pixel(59, 39), TColor::Rgb(255, 255, 254));
}

TEST_F(ShadedShapesTest, DarkenRectSubtractsTheColourOfTheCanvassMachine) {
    surface.Fill(clWhite);
    machine.SysColors[SysColor::BtnShadow] = TColor::Rgb(10, 20, 30);
    DarkenRect(canvas, 0, 0, 0, 0, TColor::System(SysColor::BtnShadow));
    EXPECT_EQ(surface.Pixel(0, 0), TColor::Rgb(245, 235, 225));
    // A canvas of the XP colours: the button face 0xD8E9EC.
    XpSystemColors xp;
    Canvas onXp(surface, text, xp);
    DarkenRect(onXp, 1, 0, 1, 0, clBtnFace);
    EXPECT_EQ(surface.Pixel(1, 0), TColor::Rgb(19, 22, 39));
}

} // namespace
} // namespace vendora
