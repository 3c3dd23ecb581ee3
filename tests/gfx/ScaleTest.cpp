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
    EXPECT_EQ(Scale(144).Px(-13), -20); // a font's height
    EXPECT_EQ(Scale(120).Line(), 1);
    EXPECT_EQ(Scale(144).Line(), 2);
    // Two boxes that meet at 96 dpi meet at every scale: the edges are scaled, not the sizes.
    EXPECT_EQ(Scale(120).Box(20, 5, 135, 27), (IntRect{25, 6, 194, 40}));
    EXPECT_EQ(Scale(120).Box(155, 5, 135, 27).Left, 194);
    EXPECT_EQ(ParseDpi("144"), 144);
    for (const char* bad : {"", "abc", "14x", "-96", "47", "481", "99999"})
        EXPECT_FALSE(ParseDpi(bad)) << bad;
}

TEST(ScaleTest, PicturesEnlargeSmoothlyAndKeepTheirTransparentColour) {
    Bitmap picture(2, 1, clBlack);
    picture.SetPixel(1, 0, TColor::Rgb(200, 100, 50));
    const Bitmap doubled = Resampled(picture, 4, 2);
    EXPECT_EQ(doubled.Pixel(1, 1), clBlack) << "twice as large: each pixel repeated exactly";
    EXPECT_EQ(doubled.Pixel(2, 1), TColor::Rgb(200, 100, 50));
    EXPECT_EQ(Resampled(picture, 3, 1).Pixel(1, 0), TColor::Rgb(100, 50, 25))
        << "1.5: the middle pixel mixes";
    // Silver transparent: it takes no part in a blend, and a pixel mostly silver stays exactly silver.
    Bitmap glyph(3, 1, clSilver);
    glyph.SetPixel(1, 0, clRed);
    glyph.SetPixel(2, 0, clWhite);
    const Bitmap scaled = Resampled(glyph, 2, 1, clSilver);
    EXPECT_EQ(scaled.Pixel(0, 0), clSilver) << "two thirds silver";
    EXPECT_EQ(scaled.Pixel(1, 0), TColor::Rgb(255, 170, 170)) << "a third red, two thirds white";
}

} // namespace
} // namespace vendora::test
