#include "controls/GradientPatterns.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace vendora {
namespace {

using S = TGradientStyle;

// Black to red: entry i has red i, so a pixel's red is the ramp index the style chose for it.
const TGradientColors identity = BuildGradientRamp(clBlack, TColor::Rgb(255, 0, 0), 0, 0, false);

struct Probe {
    int X;
    int Y;
    int Index;
};

struct StyleCase {
    S Style;
    PatternSize Size;
    std::vector<Probe> Probes;
};

// Hand-worked indexes: centres, corners, the seams between the formulas, and a few points inside.
const std::vector<StyleCase> cases = {
    {S::gsRadialC,
     {362, 362},
     {{180, 180, 0},
      {181, 180, 0},
      {0, 0, 255},
      {361, 361, 255},
      {180, 0, 180},
      {100, 180, 80},
      {190, 170, 13},
      {361, 180, 180}}},
    {S::gsRadialT, {362, 181}, {{180, 0, 0}, {181, 100, 100}, {0, 180, 255}, {361, 0, 180}, {184, 4, 5}}},
    {S::gsRadialB, {362, 181}, {{180, 180, 0}, {181, 0, 180}, {0, 180, 180}, {177, 176, 5}}},
    {S::gsRadialL, {181, 362}, {{0, 180, 0}, {0, 181, 0}, {180, 180, 180}, {3, 185, 5}, {180, 0, 255}}},
    {S::gsRadialR, {181, 362}, {{180, 180, 0}, {180, 181, 0}, {0, 181, 180}, {177, 176, 5}, {0, 361, 255}}},
    {S::gsRadialTL, {181, 181}, {{0, 0, 0}, {3, 4, 5}, {180, 180, 255}, {180, 0, 180}}},
    {S::gsRadialTR, {181, 181}, {{180, 0, 0}, {177, 4, 5}, {0, 180, 255}}},
    {S::gsRadialBL, {181, 181}, {{0, 180, 0}, {3, 176, 5}, {180, 0, 255}}},
    {S::gsRadialBR, {181, 181}, {{180, 180, 0}, {177, 176, 5}, {0, 0, 255}}},
    {S::gsLinearH, {256, 1}, {{0, 0, 0}, {200, 0, 200}, {255, 0, 255}}},
    {S::gsLinearV, {1, 256}, {{0, 0, 0}, {0, 77, 77}, {0, 255, 255}}},
    {S::gsReflectedH, {1, 512}, {{0, 0, 255}, {0, 255, 0}, {0, 256, 0}, {0, 300, 44}, {0, 511, 255}}},
    {S::gsReflectedV, {512, 1}, {{0, 0, 255}, {255, 0, 0}, {256, 0, 0}, {300, 0, 44}, {511, 0, 255}}},
    {S::gsDiagonalLF, {128, 129}, {{0, 0, 0}, {10, 20, 30}, {127, 128, 255}}},
    {S::gsDiagonalLB, {128, 129}, {{0, 0, 127}, {127, 0, 0}, {0, 128, 255}, {10, 20, 137}}},
    {S::gsDiagonalRF,
     {256, 256},
     {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}, {100, 100, 55}, {200, 100, 45}, {200, 54, 1}}},
    {S::gsDiagonalRB, {256, 256}, {{0, 0, 0}, {255, 0, 255}, {0, 255, 255}, {10, 30, 20}, {30, 10, 20}}},
    {S::gsArrowL, {129, 256}, {{0, 0, 255}, {128, 127, 0}, {0, 128, 128}, {128, 128, 0}, {0, 255, 255}}},
    {S::gsArrowR, {129, 256}, {{0, 0, 127}, {128, 0, 255}, {0, 127, 0}, {0, 128, 0}, {128, 255, 255}}},
    {S::gsArrowU, {256, 129}, {{0, 0, 255}, {127, 128, 0}, {128, 0, 128}, {128, 128, 0}, {255, 0, 255}}},
    {S::gsArrowD, {256, 129}, {{0, 0, 127}, {127, 0, 0}, {0, 128, 255}, {128, 0, 0}, {255, 128, 255}}},
    {S::gsDiamond,
     {256, 256},
     {{0, 0, 255},
      {127, 127, 1},
      {128, 0, 128},
      {255, 0, 255},
      {0, 128, 128},
      {0, 255, 255},
      {128, 128, 1},
      {255, 255, 255}}},
    {S::gsButterfly,
     {256, 256},
     {{0, 0, 128},
      {127, 0, 255},
      {0, 127, 1},
      {128, 0, 255},
      {255, 0, 128},
      {128, 127, 128},
      {0, 128, 0},
      {127, 128, 127},
      {128, 128, 128},
      {255, 128, 1},
      {128, 255, 255}}},
};

TEST(GradientPatterns, EveryStyleHasItsSizeAndPixels) {
    ASSERT_EQ(cases.size(), static_cast<std::size_t>(GradientStyleCount - 1));
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Style));
        EXPECT_EQ(GradientPatternSize(c.Style), c.Size);
        Bitmap pattern(3, 3, clWhite);
        BuildGradientPattern(c.Style, identity, pattern);
        ASSERT_EQ(pattern.Width(), c.Size.Width);
        ASSERT_EQ(pattern.Height(), c.Size.Height);
        for (const Probe& p : c.Probes)
            EXPECT_EQ(pattern.Pixel(p.X, p.Y), TColor::Rgb(p.Index, 0, 0))
                << "at (" << p.X << ", " << p.Y << ")";
    }
}

TEST(GradientPatterns, EnumeratesTheStylesInTheStoredOrder) {
    EXPECT_EQ(static_cast<int>(S::gsCustom), 0);
    EXPECT_EQ(static_cast<int>(S::gsRadialC), 1);
    EXPECT_EQ(static_cast<int>(S::gsLinearH), 10);
    EXPECT_EQ(static_cast<int>(S::gsDiagonalRF), 16);
    EXPECT_EQ(static_cast<int>(S::gsButterfly), GradientStyleCount - 1);
}

TEST(GradientPatterns, RotatedRampFollowsIntoThePattern) {
    // Rotation 50 turns at 127: a horizontal line is black at both ends and red at x = 127.
    const TGradientColors ramp = BuildGradientRamp(clBlack, TColor::Rgb(254, 0, 0), 0, 50, false);
    Bitmap pattern;
    BuildGradientPattern(S::gsLinearH, ramp, pattern);
    EXPECT_EQ(pattern.Pixel(0, 0), clBlack);
    EXPECT_EQ(pattern.Pixel(127, 0), TColor::Rgb(254, 0, 0));
    EXPECT_EQ(pattern.Pixel(255, 0), clBlack);
}

TEST(GradientPatterns, CustomWithoutHandlerIsACheckerboardTakenBeforeTheShift) {
    GradientSettings settings;
    settings.Style = S::gsCustom;
    settings.ColorBegin = TColor::Rgb(10, 20, 30);
    settings.ColorEnd = TColor::Rgb(200, 100, 0);
    settings.Reverse = true;
    settings.Shift = 100;
    Bitmap pattern;
    XpSystemColors xp;
    BuildGradient(settings, xp, pattern);
    ASSERT_EQ(pattern.Width(), 2);
    ASSERT_EQ(pattern.Height(), 2);
    EXPECT_EQ(pattern.Pixel(0, 0), TColor::Rgb(200, 100, 0));
    EXPECT_EQ(pattern.Pixel(1, 1), TColor::Rgb(200, 100, 0));
    EXPECT_EQ(pattern.Pixel(1, 0), TColor::Rgb(10, 20, 30));
    EXPECT_EQ(pattern.Pixel(0, 1), TColor::Rgb(10, 20, 30));

    EXPECT_THROW(BuildGradientPattern(S::gsCustom, identity, pattern), std::invalid_argument);
    EXPECT_EQ(GradientPatternSize(S::gsCustom), (PatternSize{0, 0}));
}

TEST(GradientPatterns, DefaultsAndTheMessageWindowGrip) {
    XpSystemColors xp;
    Bitmap pattern;
    BuildGradient(GradientSettings{}, xp, pattern); // gsRadialC, white to the button face
    EXPECT_EQ(pattern.Pixel(180, 180), clWhite);
    EXPECT_EQ(pattern.Pixel(0, 0), TColor(0xD8E9EC));

    GradientSettings grip;
    grip.Style = S::gsDiagonalRF;
    grip.ColorEnd = clAppWorkSpace;
    BuildGradient(grip, xp, pattern);
    ASSERT_EQ(pattern.Width(), 256);
    // White along the diagonal from the top-right to the bottom-left, the workspace grey in the corners.
    EXPECT_EQ(pattern.Pixel(255, 0), clWhite);
    EXPECT_EQ(pattern.Pixel(0, 255), clWhite);
    EXPECT_EQ(pattern.Pixel(0, 0), TColor::Rgb(128, 128, 128));
    EXPECT_EQ(pattern.Pixel(255, 255), TColor::Rgb(128, 128, 128));
}

} // namespace
} // namespace vendora
