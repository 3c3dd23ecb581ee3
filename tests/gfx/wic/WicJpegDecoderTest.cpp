#include "gfx/wic/WicJpegDecoder.h"

#include "tests/gfx/wic/TestPictures.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace vendora {
namespace {

// The installer's start-up initialises COM on its main thread; the tests' main thread does the same.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};
const auto* const comEnvironment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

std::vector<std::uint8_t> Bytes(std::string_view name) {
    const auto bytes = testing::TestPicture(name);
    return {bytes.begin(), bytes.end()};
}

// The largest difference of one colour channel between two pictures of the same size.
int LargestDifference(const Bitmap& a, const Bitmap& b) {
    int largest = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const TColor p = a.Pixel(x, y);
            const TColor q = b.Pixel(x, y);
            for (int shift = 0; shift < 24; shift += 8)
                largest = std::max(largest, std::abs(static_cast<int>((p.Value >> shift) & 0xFF) -
                                                     static_cast<int>((q.Value >> shift) & 0xFF)));
        }
    return largest;
}

bool Near(TColor a, TColor b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a.Value >> shift) & 0xFF) -
                     static_cast<int>((b.Value >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// The middles of the flat patches of the test pattern (columns 16 to 31, rows of 8 pixels).
void ExpectPatches(const Bitmap& picture, int tolerance) {
    const TColor patches[] = {clRed,
                              TColor::Rgb(0, 160, 0),
                              clBlue,
                              clYellow,
                              clWhite,
                              clBlack,
                              TColor::Rgb(128, 64, 200),
                              TColor::Rgb(250, 128, 10)};
    for (int i = 0; i < 8; ++i) {
        const int x = 16 + (i % 2) * 8 + 4;
        const int y = (i / 2) * 8 + 4;
        EXPECT_TRUE(Near(picture.Pixel(x, y), patches[i], tolerance))
            << "patch " << i << ": " << std::hex << picture.Pixel(x, y).Value;
    }
}

TEST(WicJpegDecoderTest, TheHeaderGivesTheFrameSize) {
    for (const char* name :
         {"pattern-444.jpg", "pattern-444-progressive.jpg", "pattern-420.jpg", "grey.jpg"}) {
        const PictureHeader header = WicJpegDecoder().ReadHeader(testing::TestPicture(name));
        EXPECT_EQ(header.Width, 48) << name;
        EXPECT_EQ(header.Height, 32) << name;
    }
}

TEST(WicJpegDecoderTest, FullResolutionColourDecodesAsLibjpegDoes) {
    // Adobe's inverted CMYK too.
    for (const char* name : {"pattern-444", "pattern-444-progressive", "grey", "cmyk-adobe"}) {
        SCOPED_TRACE(name);
        const Bitmap decoded = WicJpegDecoder().Decode(testing::TestPicture(std::string(name) + ".jpg"));
        const Bitmap reference = DecodeBmp(testing::TestPicture(std::string(name) + ".bmp"));
        ASSERT_EQ(decoded.Width(), reference.Width());
        ASSERT_EQ(decoded.Height(), reference.Height());
        const int difference = LargestDifference(decoded, reference);
        RecordProperty(std::string(name) + "-largest-difference", difference);
        EXPECT_LE(difference, 2);
        for (int y = 0; y < decoded.Height(); ++y)
            for (int x = 0; x < decoded.Width(); ++x)
                ASSERT_EQ(decoded.Row(y)[x] >> 24, 0u) << x << "," << y;
    }
    ExpectPatches(WicJpegDecoder().Decode(testing::TestPicture("pattern-444.jpg")), 6);
}

TEST(WicJpegDecoderTest, SubsampledColourLandsInTheRightChannels) {
    const Bitmap decoded = WicJpegDecoder().Decode(testing::TestPicture("pattern-420.jpg"));
    ASSERT_EQ(decoded.Width(), 48);
    ASSERT_EQ(decoded.Height(), 32);
    const Bitmap full = DecodeBmp(testing::TestPicture("pattern-444.bmp"));
    RecordProperty("largest-difference-to-full-resolution", LargestDifference(decoded, full));
    // Halved colour resolution blurs the 8-pixel patches into each other; channels in the wrong order would
    // be some 200 away.
    ExpectPatches(decoded, 64);
}

TEST(WicJpegDecoderTest, BytesThatAreNoJpegPictureRaiseInvalidGraphic) {
    const std::vector<std::uint8_t> good = Bytes("pattern-444.jpg");
    std::vector<std::vector<std::uint8_t>> bad = {
        {},
        {0xFF},
        {0xFF, 0xD8, 0xFF},
        std::vector<std::uint8_t>(good.begin(), good.begin() + 20),
        std::vector<std::uint8_t>(good.begin(), good.begin() + 200),
        Bytes("pattern-444.bmp"),
        std::vector<std::uint8_t>(1000, 0x55),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "case " << i);
        EXPECT_THROW(WicJpegDecoder().Decode(bad[i]), EInvalidGraphic);
    }
    for (std::size_t i : {0, 1, 2, 3, 5, 6}) {
        SCOPED_TRACE(::testing::Message() << "header of case " << i);
        EXPECT_THROW(WicJpegDecoder().ReadHeader(bad[i]), EInvalidGraphic);
    }
    try {
        WicJpegDecoder().Decode(bad[5]);
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Image JPEG incorrecte : not a JPEG file");
    }
}

TEST(WicJpegDecoderTest, DamagedImageData) {
    const std::vector<std::uint8_t> good = Bytes("pattern-444.jpg");
    // Files that end early raise, as with libjpeg.
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + good.size() / 2);
    const std::vector<std::uint8_t> noEnd(good.begin(), good.end() - 2);
    EXPECT_THROW(WicJpegDecoder().Decode(cut), EInvalidGraphic);
    EXPECT_THROW(WicJpegDecoder().Decode(noEnd), EInvalidGraphic);
    // A marker in the middle of the image data, or noise there: libjpeg stops at the marker and the host's
    // decoder raises, while Wine's imaging component fills in the rest. Either way nothing breaks, and a
    // picture that comes out has the frame's size.
    std::vector<std::uint8_t> ended = good;
    ended[good.size() / 2] = 0xFF;
    ended[good.size() / 2 + 1] = 0xD9;
    std::vector<std::uint8_t> restart = good;
    restart[good.size() / 2] = 0xFF;
    restart[good.size() / 2 + 1] = 0xD3;
    std::vector<std::uint8_t> noise = good;
    for (std::size_t i = good.size() / 2; i < good.size() / 2 + 40; ++i)
        noise[i] = static_cast<std::uint8_t>(i * 37);
    for (const auto& bytes : {ended, restart, noise}) {
        try {
            const Bitmap b = WicJpegDecoder().Decode(bytes);
            EXPECT_EQ(b.Width(), 48);
            EXPECT_EQ(b.Height(), 32);
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Image JPEG incorrecte : ", 0), 0u) << e.what();
        }
    }
}

TEST(WicJpegDecoderTest, WithoutComTheDecoderSaysSoInsteadOfCallingThePictureBad) {
    bool other = false;
    bool invalid = false;
    std::thread([&] {
        try {
            WicJpegDecoder().Decode(testing::TestPicture("pattern-444.jpg"));
        } catch (const EInvalidGraphic&) {
            invalid = true;
        } catch (const Exception&) {
            other = true;
        }
    }).join();
    EXPECT_TRUE(other);
    EXPECT_FALSE(invalid);
}

} // namespace
} // namespace vendora
