// Any bytes may sit in a picture file that markup names: the decoder either answers or raises
// EInvalidGraphic, and a decoded picture has the size its header announced.
#include "gfx/jpeg/JpegDecoder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vendora;
    const std::span<const std::uint8_t> bytes(data, size);
    PictureHeader header;
    try {
        header = TheJpegDecoder().ReadHeader(bytes);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    // Keep each run small: the decoder refuses only truly huge pictures.
    if (static_cast<long long>(header.Width) * header.Height > 4096 * 4096)
        return 0;
    try {
        const Bitmap pixels = TheJpegDecoder().Decode(bytes);
        if (pixels.Width() != header.Width || pixels.Height() != header.Height)
            std::abort();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
