#include "dialogs/forms/MessageHost.h"

#include "gfx/PictureDecoder.h"
#include "gfx/TextEngine.h"
#include "platform/Platform.h"

namespace vendora {

HtmlHost InstalledHtmlHost() {
    const PictureDecoder* decoder = Installed<PictureDecoder>::Has() ? &Decoder() : nullptr;
    PictureCache* pictures = Installed<PictureCache>::Has() ? &Installed<PictureCache>::Get() : nullptr;
    return HtmlHost{pictures, PictureServices{Os().Files(), Text(), decoder}};
}

} // namespace vendora
