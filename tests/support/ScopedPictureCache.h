#pragma once
// A picture cache of the test's own, installed for the lifetime of the object; the one it replaced comes
// back after.

#include "html/pictures/Pictures.h"

namespace vendora::test {

class ScopedPictureCache {
public:
    ScopedPictureCache() : previous_(HasPictureCache() ? &Pictures() : nullptr) { SetPictureCache(&cache_); }
    ~ScopedPictureCache() { SetPictureCache(previous_); }
    ScopedPictureCache(const ScopedPictureCache&) = delete;
    ScopedPictureCache& operator=(const ScopedPictureCache&) = delete;
    PictureCache& Cache() { return cache_; }

private:
    PictureCache cache_;
    PictureCache* previous_;
};

} // namespace vendora::test
