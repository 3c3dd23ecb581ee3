#include "startup/PictureCache.h"

#include "html/pictures/Pictures.h"

namespace vendora {

namespace {
// The renderer's cache lives as long as the process, installed between start-up and shut-down.
PictureCache cache;
} // namespace

void StartPictureCache() {
    cache.Release();
    SetPictureCache(&cache);
}

void ReleasePictureCache() {
    cache.Release();
    SetPictureCache(nullptr);
}

} // namespace vendora
