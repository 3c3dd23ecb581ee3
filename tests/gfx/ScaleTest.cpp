// 96-dpi lengths on denser screens: the rounding rule, rectangles by their edges, the dpi a setting may
// give, and pictures enlarged smoothly with their transparent colour kept.
#include "gfx/Scale.h"
#include "gfx/Resample.h"

#include <gtest/gtest.h>

namespace vendora::test {
namespace {

TEST(ScaleTest, LengthsRoundHalfAwayFromZeroAndRectanglesKeepTheirEdges) {
    EXPECT_EQ(Scale().Px(481), 481);
    EXPECT_EQ(Scale(120).Px(481), 601); // 601.25
    EXPECT_EQ(Scale(144).Px(481), 722); // 721.5, away from zero
    EXPECT_EQ(Scale(144).Px(-13), -20); // -19.5, a font's height
    EXPECT_EQ(Scale(192).Px(481), 962);
    EXPECT_EQ(Scale(120).Line(), 1);
    EXPECT_EQ(Scale(144).Line(), 2);
    EXPECT_EQ(Scale(40).Line(), 1) << "48 dpi at least, and never a line thinner than a pixel";
    // Two boxes that meet at 96 dpi meet at every scale: the edges are scaled, not the sizes.
    const Scale s(120);
    const IntRect a = s.Box(20, 5, 135, 27), b = s.Box(155, 5, 135, 27);
    EXPECT_EQ(a.Right, b.Left);
    EXPECT_EQ(a, (IntRect{25, 6, 194, 40}));
    EXPECT_EQ(ParseDpi("144"), 144);
    for (const char* bad : {"", "abc", "14x", "-96", "47", "481", "99999"})
        EXPECT_FALSE(ParseDpi(bad)) << bad;
}

TEST(ScaleTest, PicturesEnlargeSmoothlyAndKeepTheirTransparentColour) {
    Bitmap picture(2, 1, clBlack);
    picture.SetPixel(1, 0, clWhite);
    // Twice as large: every pixel repeated exactly.
    const Bitmap doubled = Resampled(picture, 4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(doubled.Pixel(x, y), x < 2 ? clBlack : clWhite) << x << "," << y;
    // One and a half: the middle pixel mixes its neighbours.
    picture.SetPixel(1, 0, TColor::Rgb(200, 100, 50));
    const Bitmap half = Resampled(picture, 3, 1);
    EXPECT_EQ(half.Pixel(0, 0), clBlack);
    EXPECT_EQ(half.Pixel(1, 0), TColor::Rgb(100, 50, 25));
    EXPECT_EQ(half.Pixel(2, 0), TColor::Rgb(200, 100, 50));
    // A glyph whose silver is transparent: silver takes no part in a blend, and a pixel mostly silver stays
    // exactly silver.
    Bitmap glyph(3, 1, clSilver);
    glyph.SetPixel(1, 0, clRed);
    glyph.SetPixel(2, 0, clWhite);
    const Bitmap scaled = Resampled(glyph, 2, 1, clSilver);
    EXPECT_EQ(scaled.Pixel(0, 0), clSilver) << "two thirds silver";
    EXPECT_EQ(scaled.Pixel(1, 0), TColor::Rgb(255, 170, 170)) << "a third red, two thirds white";
}

} // namespace
} // namespace vendora::test
