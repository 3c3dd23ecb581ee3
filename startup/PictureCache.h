#pragma once
// The renderer's picture cache as start-up and shut-down see it.

namespace vendora {

// Start-up: the cache is empty.
void StartPictureCache();
// Shut-down: every cached picture is released and the cache emptied.
void ReleasePictureCache();

} // namespace vendora
