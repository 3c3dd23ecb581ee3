#include "tests/e2e/cross/PixelDiff.h"

#include <gtest/gtest.h>

using namespace vendora;
using namespace vendora::e2e;

namespace {

void Fill(Bitmap& picture, int left, int top, int right, int bottom, TColor colour) {
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            picture.SetPixel(x, y, colour);
}

// A window: white, a grey button with its dark edge 30 rows above the bottom, a black glyph from row 5 to
// textBottom at textLeft.
Bitmap Window(int height, int textLeft = 5, int textBottom = 14) {
    Bitmap picture(100, height);
    Fill(picture, 10, height - 30, 60, height - 10, TColor::Rgb(0x71, 0x6F, 0x64));
    Fill(picture, 11, height - 29, 59, height - 11, TColor::Rgb(0xEC, 0xE9, 0xD8));
    Fill(picture, textLeft, 5, textLeft + 4, textBottom, clBlack);
    return picture;
}

} // namespace

TEST(PixelDiff, TellsTextFromTheRest) {
    EXPECT_TRUE(ComparePictures(Window(60), Window(60)).Same);
    const PixelDiff text = ComparePictures(Window(60), Window(60, 6));
    EXPECT_TRUE(text.Same) << text.Report;
    EXPECT_EQ(text.Picture.Pixel(5, 5), TColor::Rgb(255, 200, 0)) << text.Report;

    Bitmap frame = Window(60);
    frame.SetPixel(80, 50, TColor::Rgb(0x71, 0x6F, 0x64));
    const PixelDiff fault = ComparePictures(Window(60), frame);
    EXPECT_FALSE(fault.Same);
    EXPECT_NE(fault.Report.find("first difference outside text at (80, 50)"), std::string::npos)
        << fault.Report;
    EXPECT_EQ(fault.Picture.Pixel(80, 50), TColor::Rgb(255, 0, 0));
}

TEST(PixelDiff, TallerByItsTextIsComparedOnTheBottomBandOnlyWhenAsked) {
    const Bitmap taller = Window(76, 5, 30);
    EXPECT_FALSE(ComparePictures(Window(60), taller).Same);
    EXPECT_TRUE(ComparePictures(Window(60), taller, {.Bottom = 35}).Same);
    // The band must hold the buttons, and a pixel there still counts.
    EXPECT_FALSE(ComparePictures(Window(60), taller, {.Bottom = 20}).Same);
    Bitmap tallerFrame = taller;
    tallerFrame.SetPixel(80, 70, TColor::Rgb(0x71, 0x6F, 0x64));
    EXPECT_FALSE(ComparePictures(Window(60), tallerFrame, {.Bottom = 35}).Same);
    // Only the height may follow the text.
    EXPECT_FALSE(ComparePictures(Window(60), Bitmap(104, 76), {.Bottom = 35}).Same);
}
