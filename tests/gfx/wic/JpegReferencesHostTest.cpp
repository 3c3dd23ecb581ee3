// The reference pixels the Windows decoder is compared with are exactly what the host's decoder gives.
#include "gfx/jpeg/JpegDecoder.h"
#include "tests/gfx/wic/TestPictures.h"

#include <gtest/gtest.h>

namespace vendora {
namespace {

TEST(JpegReferencesTest, TheReferencePicturesAreTheHostDecodersPixels) {
    for (const char* name : {"pattern-444", "pattern-444-progressive", "grey", "cmyk-adobe"}) {
        SCOPED_TRACE(name);
        const Bitmap decoded = TheJpegDecoder().Decode(testing::TestPicture(std::string(name) + ".jpg"));
        const Bitmap reference = DecodeBmp(testing::TestPicture(std::string(name) + ".bmp"));
        EXPECT_GT(decoded.Width(), 0);
        EXPECT_EQ(decoded, reference);
    }
    EXPECT_THROW(testing::TestPicture("none.jpg"), std::invalid_argument);
}

} // namespace
} // namespace vendora
