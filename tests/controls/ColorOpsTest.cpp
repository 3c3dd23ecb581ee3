#include "controls/ColorOps.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vendora {
namespace {

constexpr TColor face{0xD8E9EC};

TEST(ColorOps, WorkedValuesOfTheButtonAndTheShadow) {
    EXPECT_EQ(MixColors(clBlack, clWhite, 75.0), TColor(0xB5B5B5));
    EXPECT_EQ(MixColors(clWhite, clWhite, 75.0), clWhite);
    // The red midpoint 208.5 goes to the even neighbour.
    EXPECT_EQ(MixColors(face, MixColors(clBlack, clWhite, 75.0), 0.5), TColor(0xC6CFD0));
    EXPECT_EQ(CaptionHighlight(face, clBlack), TColor(0xC6CFD0));
    EXPECT_EQ(AddColors(face, TColor(0x3F3F3F)), clWhite);
    EXPECT_EQ(SubtractColors(face, TColor(0x3F3F3F)), TColor(0x99AAAD));
    EXPECT_EQ(MixColors(clWhite, TColor(0x00FFFF), 0.2), TColor(0xCCFFFF));
    EXPECT_EQ(MixColors(clWhite, TColor(0xFF0000), 0.2), TColor(0xFFCCCC));
    EXPECT_EQ(MixColors(TColor::Rgb(128, 128, 128), clBlack, 0.5), TColor::Rgb(64, 64, 64));
}

TEST(ColorOps, MixRoundsHalvesToEvenOnTheInPlaceChannels) {
    EXPECT_EQ(MixColors(TColor::Rgb(1, 0, 0), clBlack, 0.5), clBlack);              // 0.5 -> 0
    EXPECT_EQ(MixColors(TColor::Rgb(3, 0, 0), clBlack, 0.5), TColor::Rgb(2, 0, 0)); // 1.5 -> 2
    // Green 3 in place is 0x300; half of it is 0x180, which the mask cuts to 0x100: the in-place value is
    // what gets rounded, so the low bits are simply dropped.
    EXPECT_EQ(MixColors(TColor::Rgb(0, 3, 0), clBlack, 0.5), TColor::Rgb(0, 1, 0));
    EXPECT_EQ(MixColors(TColor::Rgb(0, 0, 3), clBlack, 0.5), TColor::Rgb(0, 0, 1));
    EXPECT_EQ(MixColors(TColor::Rgb(10, 20, 30), TColor::Rgb(50, 60, 70), 0.0), TColor::Rgb(10, 20, 30));
    EXPECT_EQ(MixColors(TColor::Rgb(10, 20, 30), TColor::Rgb(50, 60, 70), 1.0), TColor::Rgb(50, 60, 70));
}

TEST(ColorOps, WeightsOutsideZeroToOneWrapEachChannel) {
    // 2 * 255 = 510 wraps to 254 in every channel.
    EXPECT_EQ(MixColors(clWhite, clBlack, -1.0), TColor(0xFEFEFE));
    // Each channel is (75 * 255 - 74 * f) mod 256.
    EXPECT_EQ(MixColors(TColor::Rgb(10, 100, 255), clWhite, 75.0), TColor::Rgb(209, 205, 255));
    EXPECT_EQ(MixColors(clBlack, clWhite, 75.0).Value & 0xFF000000u, 0u);
}

TEST(ColorOps, AddCapsAndSubtractFloorsEachChannelOnItsOwn) {
    EXPECT_EQ(AddColors(TColor::Rgb(200, 10, 0), TColor::Rgb(100, 10, 255)), TColor::Rgb(255, 20, 255));
    EXPECT_EQ(AddColors(TColor::Rgb(255, 0, 1), TColor::Rgb(1, 0, 0)), TColor::Rgb(255, 0, 1));
    EXPECT_EQ(SubtractColors(TColor::Rgb(10, 200, 5), TColor::Rgb(20, 100, 5)), TColor::Rgb(0, 100, 0));
    EXPECT_EQ(SubtractColors(TColor::Rgb(0, 0, 255), TColor::Rgb(255, 255, 0)), TColor::Rgb(0, 0, 255));
}

TEST(ColorOps, SystemColoursAreRefusedUnresolved) {
    // A system colour means nothing without a machine's colours: the caller resolves it first, and one left
    // unresolved is its fault, not a dark red.
    EXPECT_THROW(AddColors(clBtnFace, clBlack), std::logic_error);
    EXPECT_THROW(AddColors(clBlack, clBtnFace), std::logic_error);
    EXPECT_THROW(SubtractColors(clWhite, clBtnFace), std::logic_error);
    EXPECT_THROW(SubtractColors(clBtnFace, clWhite), std::logic_error);
    EXPECT_THROW(MixColors(clBtnFace, clBlack, 0.0), std::logic_error);
    EXPECT_THROW(MixColors(clBlack, clBtnFace, 0.5), std::logic_error);
    EXPECT_EQ(AddColors(clRed, clBlack), clRed);
}

} // namespace
} // namespace vendora
