// The host's half of the font figures: the FreeType engine gives the numbers the Windows build is held to.
#include "tests/gfx/gdi/FontFigures.h"

#include "gfx/freetype/FreeTypeTextEngine.h"

namespace vendora {
namespace {

TEST(FontFiguresTest, TheHostEngineGivesTheSharedFigures) {
    FreeTypeTextEngine engine;
    testing::ExpectFontFigures(engine);
}

TEST(FontFiguresTest, TheHostEngineDrawsTheSharedGlyphPictures) {
    FreeTypeTextEngine engine;
    testing::ExpectGlyphPictures(engine);
}

} // namespace
} // namespace vendora
