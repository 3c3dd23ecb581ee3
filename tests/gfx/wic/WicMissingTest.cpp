// The decoder where Windows' imaging component cannot be loaded: ctest runs this program with Wine told to
// refuse windowscodecs.dll. A program holding the decoder still starts, and its first decode says in
// French what is missing, as a fault of the machine rather than a bad picture.
#include "base/Cp1252.h"
#include "gfx/wic/WicJpegDecoder.h"

#include "tests/gfx/wic/TestPictures.h"

#include <gtest/gtest.h>
#include <objbase.h>

namespace vendora {
namespace {

TEST(WicMissingTest, TheFirstDecodeSaysTheImagingComponentIsMissing) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EXPECT_EQ(GetModuleHandleA("windowscodecs.dll"), nullptr) << "loaded with the program";
    const auto picture = testing::TestPicture("pattern-444.jpg");
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            WicJpegDecoder().Decode(picture);
            ADD_FAILURE() << "decoded without the imaging component";
        } catch (const EInvalidGraphic& e) {
            ADD_FAILURE() << "called the picture bad: " << e.what();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(),
                      Ansi("Le composant d'imagerie de Windows (windowscodecs.dll) est introuvable : "
                           "les images JPEG ne peuvent pas être affichées."));
        }
    }
    CoUninitialize();
}

} // namespace
} // namespace vendora
