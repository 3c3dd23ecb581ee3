#pragma once
// The Windows build's JPEG decoder: Windows' own imaging component (WIC) decodes, and converts to the
// 32-bit BGR words that Bitmap holds. The component is loaded at the first decode; where it is missing,
// that decode raises an error saying so in French. COM must be initialised on the calling thread (start-up
// does it) for as long as the decoder lives: it keeps the one imaging factory it makes at the first decode,
// and releases it when it goes, which must come before COM is uninitialised.

#include "gfx/PictureDecoder.h"

#include <memory>

struct IWICImagingFactory;

namespace vendora {

class WicJpegDecoder : public PictureDecoder {
public:
    WicJpegDecoder();
    ~WicJpegDecoder() override;
    WicJpegDecoder(const WicJpegDecoder&) = delete;
    WicJpegDecoder& operator=(const WicJpegDecoder&) = delete;

    // Larger pictures are refused rather than exhausting memory, as on the host: a header may claim up to
    // 65535 x 65535.
    static constexpr long long MaxPixels = 64LL * 1024 * 1024;

    PictureHeader ReadHeader(std::span<const std::uint8_t> bytes) const override;
    Bitmap Decode(std::span<const std::uint8_t> bytes) const override;

private:
    struct Imaging; // the imaging factory, made at the first decode
    IWICImagingFactory& Factory() const;
    mutable std::unique_ptr<Imaging> imaging_;
};

} // namespace vendora
