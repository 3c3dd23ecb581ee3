#include "gfx/png/Png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace vendora {
namespace {

TEST(PngTest, EveryPixelSurvivesTheRoundTrip) {
    Bitmap b(37, 11);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.SetPixel(x, y, TColor::Rgb(x * 7, y * 23, (x * y) % 256));
    EXPECT_EQ(DecodePng(EncodePng(b)), b);

    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("vendora-png-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".png"))
            .string();
    SavePng(b, path);
    EXPECT_EQ(LoadPng(path), b);
    std::filesystem::remove(path);
}

TEST(PngTest, BadInputIsAClearError) {
    EXPECT_THROW(EncodePng(Bitmap()), EInvalidGraphic);
    EXPECT_THROW(DecodePng(std::vector<std::uint8_t>{1, 2, 3}), EInvalidGraphic);
    std::vector<std::uint8_t> cut = EncodePng(Bitmap(50, 50, clRed));
    cut.resize(cut.size() / 2);
    EXPECT_THROW(DecodePng(cut), EInvalidGraphic);
    EXPECT_THROW(LoadPng("/nonexistent/folder/x.png"), Exception);
    EXPECT_THROW(SavePng(Bitmap(1, 1), "/nonexistent/folder/x.png"), Exception);
}

} // namespace
} // namespace vendora
