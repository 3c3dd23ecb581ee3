#include "html/PictureAccess.h"

namespace vendora {

// TEMPORARY until the picture cache lands.
bool PictureFileExists(const AnsiString&) {
    return false;
}
MarkupPicture OpenPicture(const AnsiString&) {
    return {};
}
void PaintPicture(Canvas&, const IntRect&, const MarkupPicture&) {}

} // namespace vendora
