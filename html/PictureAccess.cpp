#include "html/PictureAccess.h"

#include "html/pictures/Pictures.h"

#include <stdexcept>

namespace vendora {

bool PictureFileExists(const HtmlHost& host, const AnsiString& name) {
    return host.Services.Files.FileExists(name);
}

MarkupPicture OpenPicture(const HtmlHost& host, const AnsiString& name) {
    if (host.Pictures == nullptr)
        throw std::logic_error("no picture cache (HtmlHost)");
    TJPEGImage* picture = host.Pictures->Load(name, host.Services);
    if (picture == nullptr)
        return {};
    if (!picture->Empty())
        picture->Pixels();
    return {picture, picture->Width(), picture->Height()};
}

void PaintPicture(Canvas& canvas, const IntRect& rect, const MarkupPicture& picture) {
    DrawPicture(canvas, rect, picture.Image);
}

} // namespace vendora
