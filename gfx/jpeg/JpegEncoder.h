#pragma once
// JPEG files written with libjpeg, for what makes pictures rather than shows them: the demo payload's
// generator and the tests' picture files. Samples are interleaved rows, top row first.

#include <cstdint>
#include <vector>

namespace vendora {

enum class JpegInk {
    Rgb,  // three samples a pixel: red, green, blue
    Cmyk, // four, inverted as Adobe writes them (255 is no ink)
};

struct JpegPicture {
    int Width = 0;
    int Height = 0;
    JpegInk Ink = JpegInk::Rgb;
    std::vector<std::uint8_t> Samples;
};

// The picture at quality (1 to 100); fullChroma keeps every colour sample (no subsampling), else libjpeg's
// defaults hold.
std::vector<std::uint8_t> EncodeJpeg(const JpegPicture& picture, int quality, bool fullChroma);

} // namespace vendora
