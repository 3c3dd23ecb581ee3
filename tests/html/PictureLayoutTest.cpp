// Pictures in the flow of markup, with real JPEG files on the host's disk, libjpeg and the picture cache:
// "<IMG" sizes and the pen, and the picture kinds of "<INPUT". The text is the fixed-metrics engine.

#include "HtmlCanvas.h"
#include "platform/posix/HostDiskPlatform.h"

#include "base/Cp1252.h"
#include "base/Errors.h"
#include "gfx/jpeg/JpegDecoder.h"
#include "html/pictures/Pictures.h"
#include "pictures/JpegFiles.h"

#include <filesystem>

namespace vendora::test {
namespace {

using vendora::testing::EncodeJpeg;
using vendora::testing::ScratchFolder;
using vendora::testing::WriteFile;

class PictureLayout : public HtmlCanvas {
protected:
    static constexpr TColor Blue = TColor::Rgb(0, 0, 255);

    HostDiskPlatform platform; // the host's disk, and nothing else
    ScratchFolder folder;
    std::filesystem::path previousFolder = std::filesystem::current_path();

    void SetUp() override {
        files = &platform.Files();
        pictureDecoder = &TheJpegDecoder();
        // Relative picture names are looked up in the current folder, as the installer's are.
        std::filesystem::current_path(folder.Path());
    }
    void TearDown() override {
        std::filesystem::current_path(previousFolder);
        pictures.Release();
    }

    void MakeJpeg(const std::string& utf8Name, int width, int height) {
        WriteFile(folder.Path() / utf8Name, EncodeJpeg(Bitmap(width, height, Blue)));
    }
    bool Bluish(int x, int y) const {
        const TColor c = At(x, y);
        return c.Blue() > 200 && c.Red() < 60 && c.Green() < 60;
    }
};

TEST_F(PictureLayout, APictureTakesItsOwnSizeAndTheNextItemStartsOnePixelAfterIt) {
    MakeJpeg("photo.jpg", 40, 30);
    EXPECT_EQ(Draw("<IMG SRC=\"photo.gif\">a"), 5 + 30);
    EXPECT_TRUE(Bluish(10, 5));
    EXPECT_TRUE(Bluish(49, 34));
    EXPECT_FALSE(Bluish(50, 34));
    EXPECT_FALSE(Bluish(49, 35));
    EXPECT_EQ(engine.Words().back().X, 10 + 40 + 1);
}

TEST_F(PictureLayout, PercentWidthsScaleBothSidesAndRoundHalvesToEven) {
    MakeJpeg("photo.jpg", 41, 31);
    // 20.5 and 15.5 give 20 and 16.
    EXPECT_EQ(Draw("<IMG SRC=\"photo.jpg\" WIDTH=50%>a<P>"), 5 + 16 + CallerCell);
    EXPECT_TRUE(Bluish(29, 20));
    EXPECT_FALSE(Bluish(30, 20));
    EXPECT_FALSE(Bluish(29, 21));
    EXPECT_EQ(engine.Words().back().X, 10 + 20 + 1);
}

TEST_F(PictureLayout, APixelWidthKeepsTheProportions) {
    MakeJpeg("photo.jpg", 40, 30);
    EXPECT_EQ(Draw("<IMG WIDTH=\"100\" SRC=\"photo.jpg\">a"), 5 + 75);
    EXPECT_TRUE(Bluish(109, 79));
    EXPECT_FALSE(Bluish(110, 79));
    EXPECT_FALSE(Bluish(109, 80));
    EXPECT_EQ(engine.Words().back().X, 10 + 100 + 1);
}

TEST_F(PictureLayout, APictureIsNeverMovedToANewLine) {
    MakeJpeg("photo.jpg", 40, 30);
    Draw("abcdefgh<IMG SRC=\"photo.jpg\">", 10, 5, 60);
    EXPECT_TRUE(Bluish(10 + 56, 5));
    EXPECT_TRUE(Bluish(10 + 56 + 39, 34));
}

TEST_F(PictureLayout, AMissingPictureFileTakesNoPlace) {
    EXPECT_EQ(Draw("a<IMG SRC=\"absent.gif\">b<P>"), 5 + Cell + CallerCell);
    EXPECT_EQ(engine.Words().back().X, 17);
    EXPECT_EQ(pictures.Count(), 0u);
}

TEST_F(PictureLayout, APictureFileWithoutPixelsHasNoHeightAtAPixelWidth) {
    WriteFile(folder.Path() / "vide.jpg", {});
    EXPECT_EQ(Draw("<IMG SRC=\"vide.jpg\" WIDTH=50>a"), 5 + Cell);
    EXPECT_EQ(engine.Words().back().X, 10 + 50 + 1);
}

TEST_F(PictureLayout, CheckBoxesAndRadioButtonsSitAroundTheMiddleOfTheLine) {
    MakeJpeg(AnsiToUtf8(Ansi("coché.jpg")), 12, 12);
    MakeJpeg("unchecked.jpg", 13, 13);
    // After "ab" the line is 16 high: the top is 5 + 8 - 6, the left 10 + 14 + 3.
    Draw("ab<INPUT TYPE=checkbox CHECKED>c<INPUT TYPE=radio>d<P>");
    EXPECT_TRUE(Bluish(27, 7));
    EXPECT_TRUE(Bluish(38, 18));
    EXPECT_FALSE(Bluish(27, 6));
    EXPECT_FALSE(Bluish(39, 18));
    const auto words = engine.Words();
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[1].X, 27 + 12 + 5);
    EXPECT_TRUE(Bluish(44 + 7 + 3, 7)); // the radio button after "c"
    EXPECT_EQ(words[2].X, 44 + 7 + 3 + 13 + 5);
    EXPECT_EQ(pictures.NameAt(0), Ansi("coché.jpg"));
    EXPECT_EQ(pictures.NameAt(1), "unchecked.jpg");
}

TEST_F(PictureLayout, AMissingFieldPictureShowsThePlaceholderInItsPlace) {
    // A fresh line has no height: the check box's top is 6 above it.
    EXPECT_EQ(Draw("<INPUT TYPE=checkbox>x", 10, 20, 600), 20 + 200);
    EXPECT_EQ(pictures.NameAt(0), Ansi("noncoché.jpg"));
    EXPECT_EQ(At(13 + 1, 14 + 1), clBlack); // the placeholder's outline starts at (1, 1)
    EXPECT_EQ(engine.Words().back().X, 13 + 300 + 5);

    engine.Drawn.clear();
    Draw("<INPUT TYPE=radio CHECKED><INPUT TYPE=image SRC=\"bouton.jpg\">", 10, 20, 600);
    EXPECT_EQ(pictures.NameAt(1), "checked.jpg");
    EXPECT_EQ(pictures.NameAt(2), "bouton.jpg");
}

TEST_F(PictureLayout, AnImageFieldSitsOnTheLineTop) {
    MakeJpeg("bouton.jpg", 20, 10);
    EXPECT_EQ(Draw("ab<INPUT TYPE=image SRC=\"bouton.jpg\">c"), 5 + Cell);
    EXPECT_TRUE(Bluish(27, 5));
    EXPECT_FALSE(Bluish(27, 4));
    EXPECT_EQ(engine.Words().back().X, 27 + 20 + 5);
}

TEST_F(PictureLayout, MeasuringReadsThePicturesSizesAndPaintsNothing) {
    MakeJpeg("photo.jpg", 40, 30);
    const std::string_view text = "ab<IMG SRC=\"photo.gif\" WIDTH=150%>c<INPUT TYPE=image SRC=\"photo.jpg\">";
    EXPECT_EQ(MeasureHtml(Host(), engine, {}, canvas.GetFont(), 10, 5, 200, text), 5 + 45);
    EXPECT_TRUE(engine.Drawn.empty());
    EXPECT_TRUE(WhiteArea(0, 0, surface.Width(), surface.Height()));
    EXPECT_EQ(Draw(text), 5 + 45);
}

TEST_F(PictureLayout, ADamagedPictureEndsTheDrawingWhereItStandsAndFailsTheMeasure) {
    // Cut in the middle of the image data: the header reads, the pixels do not.
    Bitmap noise(256, 256);
    for (int y = 0; y < noise.Height(); ++y)
        for (int x = 0; x < noise.Width(); ++x)
            noise.SetPixel(x, y, TColor::Rgb((x * 37 + y * 11) % 256, (x * y) % 256, (x + 3 * y) % 256));
    std::vector<std::uint8_t> bytes = EncodeJpeg(noise);
    ASSERT_GT(bytes.size(), 4000u);
    bytes.resize(bytes.size() - 1500);
    WriteFile(folder.Path() / "cut.jpg", bytes);
    const std::string_view text = "a<IMG SRC=\"cut.jpg\">b<INPUT TYPE=radio>";

    EXPECT_THROW(MeasureHtml(Host(), engine, {}, canvas.GetFont(), 10, 5, 200, text), EInvalidGraphic);
    EXPECT_THROW(Draw(text), EInvalidGraphic);
    ASSERT_EQ(engine.Words().size(), 1u);
    EXPECT_EQ(engine.Words()[0].Text, "a");
    EXPECT_EQ(pictures.Count(), 1u); // the radio button's picture is never asked for
}

// A renderer handed no picture cache (a text that should show none) says so at the first picture it meets.
TEST_F(PictureLayout, APictureMetWithoutACacheIsAFaultOfTheSetUp) {
    MakeJpeg("photo.jpg", 40, 30);
    const HtmlHost host{nullptr, PictureServices{platform.Files(), engine, &TheJpegDecoder()}};
    EXPECT_EQ(DrawHtml(canvas, host, 10, 5, 200, "<IMG SRC=\"absent.jpg\">a", clWhite), 5 + Cell);
    EXPECT_THROW(DrawHtml(canvas, host, 10, 5, 200, "<IMG SRC=\"photo.jpg\">a", clWhite), std::logic_error);
}

} // namespace
} // namespace vendora::test
