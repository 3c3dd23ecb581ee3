#pragma once
// Turns the bytes of a compressed picture file into pixels. The portable layers only see this interface;
// each build plugs in its own decoder (libjpeg on the host), so no image library leaks into the core.

#include "gfx/Bitmap.h"

#include <cstdint>
#include <span>

namespace vendora {

struct PictureHeader {
    int Width = 0;
    int Height = 0;
};

class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;
    // The picture's size, from its header alone. Bytes that are not this kind of picture raise
    // EInvalidGraphic with the decoder's reason.
    virtual PictureHeader ReadHeader(std::span<const std::uint8_t> bytes) const = 0;
    // Every pixel. Damaged image data raises EInvalidGraphic with the decoder's reason.
    virtual Bitmap Decode(std::span<const std::uint8_t> bytes) const = 0;
};

} // namespace vendora
