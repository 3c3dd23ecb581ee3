#include "controls/GradientRamp.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>

namespace vendora {
namespace {

std::uint8_t Red(const TGradientColors& ramp, int i) {
    return ramp[static_cast<std::size_t>(i)].Red;
}

TEST(GradientRamp, EntriesHoldBlueGreenRedLikeABitmapRow) {
    static_assert(sizeof(RampEntry) == 3);
    const TGradientColors ramp =
        BuildGradientRamp(TColor::Rgb(10, 20, 30), TColor::Rgb(10, 20, 30), 0, 0, false);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(ramp.data());
    EXPECT_EQ(bytes[0], 30);
    EXPECT_EQ(bytes[1], 20);
    EXPECT_EQ(bytes[2], 10);
    EXPECT_EQ(ramp[255].Color(), TColor::Rgb(10, 20, 30));
}

TEST(GradientRamp, PlainRampTruncatesEachStep) {
    const TGradientColors ramp =
        BuildGradientRamp(TColor::Rgb(0, 255, 10), TColor::Rgb(100, 0, 10), 0, 0, false);
    EXPECT_EQ(ramp[0].Color(), TColor::Rgb(0, 255, 10));
    EXPECT_EQ(ramp[255].Color(), TColor::Rgb(100, 0, 10));
    // 1 * 100 / 255 truncates to 0; 128 * 100 / 255 = 50.2; green falls by exactly one per step.
    EXPECT_EQ(ramp[1].Color(), TColor::Rgb(0, 254, 10));
    EXPECT_EQ(ramp[128].Color(), TColor::Rgb(50, 127, 10));
    // Falling channels truncate toward zero, i.e. upward: 255 + 3 * -100 / 255 = 255 - 1.
    const TGradientColors down =
        BuildGradientRamp(TColor::Rgb(255, 0, 0), TColor::Rgb(155, 0, 0), 0, 0, false);
    EXPECT_EQ(Red(down, 3), 254);
}

TEST(GradientRamp, ReverseExchangesTheColours) {
    const TGradientColors forward =
        BuildGradientRamp(TColor::Rgb(7, 8, 9), TColor::Rgb(200, 100, 0), 0, 0, false);
    const TGradientColors reversed =
        BuildGradientRamp(TColor::Rgb(200, 100, 0), TColor::Rgb(7, 8, 9), 0, 0, true);
    EXPECT_EQ(forward, reversed);
    EXPECT_EQ(reversed[0].Color(), TColor::Rgb(7, 8, 9));
}

TEST(GradientRamp, ShiftMovesOneEndTowardTheOther) {
    // Shift 100 and -100 make a single colour of the whole ramp.
    const TGradientColors full = BuildGradientRamp(clBlack, TColor::Rgb(200, 100, 50), 100, 0, false);
    const TGradientColors none = BuildGradientRamp(clBlack, TColor::Rgb(200, 100, 50), -100, 0, false);
    for (int i = 0; i <= 255; ++i) {
        ASSERT_EQ(full[static_cast<std::size_t>(i)].Color(), TColor::Rgb(200, 100, 50)) << i;
        ASSERT_EQ(none[static_cast<std::size_t>(i)].Color(), clBlack) << i;
    }
    // 253 * 50 / 100 = 126.5 rounds away from zero to 127, so colour 1 moves to 127.
    const TGradientColors half = BuildGradientRamp(clBlack, TColor::Rgb(253, 0, 0), 50, 0, false);
    EXPECT_EQ(Red(half, 0), 127);
    EXPECT_EQ(Red(half, 255), 253);
    // 253 * -50 / 100 = -126.5 rounds to -127: colour 2 moves to 126.
    const TGradientColors back = BuildGradientRamp(clBlack, TColor::Rgb(253, 0, 0), -50, 0, false);
    EXPECT_EQ(Red(back, 0), 0);
    EXPECT_EQ(Red(back, 255), 126);
}

TEST(GradientRamp, RotationOfOneHundredRunsBackwardsEitherWay) {
    // Rotation 100: g = 255, p = 0, entry i = c1 + (255 - i) * d / 255.
    const TGradientColors up = BuildGradientRamp(clBlack, TColor::Rgb(100, 0, 0), 0, 100, false);
    // Rotation -100: p = 255, entry i = c2 - i * d / 255.
    const TGradientColors down = BuildGradientRamp(clBlack, TColor::Rgb(100, 0, 0), 0, -100, false);
    EXPECT_EQ(Red(up, 0), 100);
    EXPECT_EQ(Red(up, 255), 0);
    EXPECT_EQ(Red(down, 0), 100);
    EXPECT_EQ(Red(down, 255), 0);
    // The steps between differ by one from the other rounding of the divisions.
    EXPECT_EQ(Red(up, 1), 99);    // 254 * 100 / 255 = 99.6
    EXPECT_EQ(Red(down, 1), 100); // 100 - 100 / 255
}

TEST(GradientRamp, RotationOfFiftyTurnsAtOneHundredAndTwentySeven) {
    // g = 255 * 50 / 100 = 127.5, rounded away from zero to 128; p = 127.
    const TGradientColors ramp = BuildGradientRamp(clBlack, TColor::Rgb(254, 0, 0), 0, 50, false);
    EXPECT_EQ(Red(ramp, 0), 0);
    EXPECT_EQ(Red(ramp, 1), 2);     // 1 * 254 / 127
    EXPECT_EQ(Red(ramp, 126), 252); // 126 * 254 / 127
    EXPECT_EQ(Red(ramp, 127), 254); // the turning point: (255 - 127) * 254 / 128
    EXPECT_EQ(Red(ramp, 128), 252); // 127 * 254 / 128 = 252.03
    EXPECT_EQ(Red(ramp, 255), 0);

    // Rotation -50: p = 128; colour 2 at 0, colour 1 at 128, colour 2 again at 255.
    const TGradientColors back = BuildGradientRamp(clBlack, TColor::Rgb(254, 0, 0), 0, -50, false);
    EXPECT_EQ(Red(back, 0), 254);
    EXPECT_EQ(Red(back, 1), 253); // 254 - 254 / 128
    EXPECT_EQ(Red(back, 128), 0);
    EXPECT_EQ(Red(back, 129), 2); // 254 - 126 * 254 / 127
    EXPECT_EQ(Red(back, 255), 254);
}

TEST(GradientRamp, ShiftAndRotationStayInsideTheControlsRange) {
    EXPECT_EQ(BuildGradientRamp(clBlack, clWhite, 150, 0, false),
              BuildGradientRamp(clBlack, clWhite, 100, 0, false));
    EXPECT_EQ(BuildGradientRamp(clBlack, clWhite, 0, -400, false),
              BuildGradientRamp(clBlack, clWhite, 0, -100, false));
}

TEST(GradientRamp, EndsAreRgbExchangedWhenReversed) {
    EXPECT_EQ(OrderedGradientEnds(TColor::Rgb(128, 128, 128), clWhite, true).Color2,
              TColor::Rgb(128, 128, 128));
    EXPECT_EQ(OrderedGradientEnds(TColor::Rgb(128, 128, 128), clWhite, false).Color2, clWhite);
    // The control resolves its system colours through its canvas before building: one left unresolved is
    // the caller's fault.
    EXPECT_THROW(BuildGradientRamp(clWhite, clBtnFace, 0, 0, false), std::logic_error);
    EXPECT_THROW(OrderedGradientEnds(clAppWorkSpace, clWhite, true), std::logic_error);
}

} // namespace
} // namespace vendora
