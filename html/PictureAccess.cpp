#include "html/PictureAccess.h"

#include "html/pictures/Pictures.h"
#include "platform/Platform.h"

namespace vendora {

bool PictureFileExists(const AnsiString& name) {
    return Os().Files().FileExists(name);
}

MarkupPicture OpenPicture(const AnsiString& name) {
    TJPEGImage* picture = LoadPicture(name);
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
