#pragma once
// The host's JPEG decoder, over libjpeg. Greyscale, colour and CMYK files become 24-bit pixels.

#include "gfx/PictureDecoder.h"

namespace vendora {

class JpegDecoder : public PictureDecoder {
public:
    // Larger pictures are refused rather than exhausting memory: a header may claim up to 65535 x 65535.
    static constexpr long long MaxPixels = 64LL * 1024 * 1024;

    PictureHeader ReadHeader(std::span<const std::uint8_t> bytes) const override;
    Bitmap Decode(std::span<const std::uint8_t> bytes) const override;
};

// One decoder for the whole process, for start-up to install.
JpegDecoder& TheJpegDecoder();

} // namespace vendora
