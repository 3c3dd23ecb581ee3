#include "base/Convert.h"
#include "base/Color.h"
#include "base/Errors.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vendora;

TEST(StrToInt, AcceptsSignedDecimalAndDollarHexOnly) {
    EXPECT_EQ(StrToInt("15"), 15);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("$FF0000"), 0xFF0000);
    EXPECT_EQ(StrToInt("$ff"), 0xFF);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    for (const char* bad :
         {"", " 15", "15 ", "15px", "$", "$1G", "1.5", "#FF", "2147483648", "$123456789", "-"})
        EXPECT_FALSE(TryStrToInt(bad).has_value()) << bad;
}

TEST(StrToInt, RefusalRaisesTheConversionError) {
    try {
        StrToInt("1 5");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1 5' n'est pas une valeur enti\xE8re correcte");
    }
}

TEST(Rounding, HalvesGoToEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(5.5), 6);
    EXPECT_EQ(RoundHalfEven(6.5), 6);
    EXPECT_EQ(RoundHalfEven(28.5), 28);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
}

// The table of rounded roots against the floating-point root it stands for, across the table's end.
TEST(Rounding, RoundedSquareRootIsTheRoundedRoot) {
    for (int n = 0; n <= 70000; ++n)
        ASSERT_EQ(RoundedSquareRoot(n), RoundHalfEven(std::sqrt(static_cast<double>(n)))) << n;
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(255, 50, 100), 128);
    EXPECT_EQ(MulDiv(-255, 50, 100), -128);
    EXPECT_EQ(MulDiv(10, 96, 72), 13);
    EXPECT_EQ(MulDiv(8, 96, 72), 11);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(100, 3, -2), -150);
}

TEST(Color, ChannelsAndSystemIndexes) {
    constexpr TColor c = TColor::Rgb(236, 233, 216);
    EXPECT_EQ(c.Value, 14215660u);
    EXPECT_EQ(c.Red(), 236);
    EXPECT_EQ(c.Blue(), 216);
    EXPECT_FALSE(c.IsSystem());
    EXPECT_TRUE(clBtnFace.IsSystem());
    EXPECT_EQ(clBtnFace.SystemIndex(), 15);
    EXPECT_EQ(TColor::Rgb(255, 187, 192).Value, 12631039u);
}
