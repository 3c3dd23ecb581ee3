#pragma once
// PNG files of bitmaps, for tests, snapshots and tools (host only). The paths are the host's own.

#include "gfx/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vendora {

std::vector<std::uint8_t> EncodePng(const Bitmap& bitmap);
// Any PNG libpng reads; transparency is dropped. A damaged file raises EInvalidGraphic.
Bitmap DecodePng(std::span<const std::uint8_t> bytes);

// Raise EInvalidGraphic for a damaged picture and Exception for a file that cannot be read or written.
void SavePng(const Bitmap& bitmap, const std::string& path);
Bitmap LoadPng(const std::string& path);

} // namespace vendora
