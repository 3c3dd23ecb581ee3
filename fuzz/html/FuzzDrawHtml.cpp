// DrawHtml on arbitrary bytes: it must end, stay inside the canvas's memory, let out nothing but the
// conversion error, and give the canvas back with its font, brush and pen. The first byte picks the width
// (from -20 to 235 pixels), so that narrow widths and deep indentation are explored too; the text engine
// has fixed metrics, and no picture file exists, so pictures are placeholders.

#include "base/Errors.h"
#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "html/DrawHtml.h"
#include "html/pictures/Pictures.h"
#include "tests/support/FixedTextEngine.h"
#include "tests/support/MemoryPlatform.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace vendora {
namespace {

test::FixedTextEngine& Engine() {
    static test::FixedTextEngine engine(test::TextShape::FontBlocks);
    return engine;
}

test::MemoryPlatform& Machine() {
    static test::MemoryPlatform platform; // a disk with nothing on it
    return platform;
}

PictureCache& Cache() {
    static PictureCache pictures;
    return pictures;
}

} // namespace
} // namespace vendora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vendora;
    if (size == 0)
        return 0;
    test::FixedTextEngine& engine = Engine();
    engine.Drawn.clear();
    Bitmap surface(240, 160);
    XpSystemColors colors; // the form elements' system colours
    Canvas canvas(surface, engine, colors);
    canvas.GetBrush().SetColor(clYellow);
    canvas.GetPen().Color = clRed;
    const Font font = canvas.GetFont();
    const Brush brush = canvas.GetBrush();
    const Pen pen = canvas.GetPen();
    const int width = static_cast<int>(data[0]) - 20;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        const HtmlHost host{&Cache(), PictureServices{Machine().Files(), engine}};
        DrawHtml(canvas, host, 20, 5, width, text, clWhite);
    } catch (const EConvertError&) {
        // The one error markup may raise.
    }
    if (!(canvas.GetFont() == font) || !(canvas.GetBrush() == brush) || !(canvas.GetPen() == pen))
        std::abort();
    Cache().Release();
    return 0;
}
