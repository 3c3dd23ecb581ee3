#pragma once
// The renderer's picture cache as start-up and shut-down see it.

namespace vendora {

// Start-up: the cache is installed, empty.
void StartPictureCache();
// Shut-down: every cached picture is released and the cache removed.
void ReleasePictureCache();

} // namespace vendora
