#include "startup/PictureCache.h"

#include "html/pictures/Pictures.h"

namespace vendora {

// The renderer's unit owns the cache; it starts empty with the process, so start-up has nothing to do
// beyond making sure no picture was loaded before it.
void StartPictureCache() {
    ReleasePictures();
}

void ReleasePictureCache() {
    ReleasePictures();
}

} // namespace vendora
