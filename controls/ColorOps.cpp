#include "controls/ColorOps.h"

#include "base/Convert.h"
#include "base/SystemColors.h"

#include <array>
#include <cstdint>

namespace vendora {

namespace {

constexpr std::array<std::int64_t, 3> channelMasks = {0xFF, 0xFF00, 0xFF0000};

std::int64_t Channel(TColor color, std::int64_t mask) {
    return static_cast<std::int64_t>(color.Value) & mask;
}

TColor FromChannels(std::int64_t sum) {
    return TColor(static_cast<std::uint32_t>(sum));
}

} // namespace

TColor MixColors(TColor a, TColor b, double weight) {
    a = CheckedRgb(a);
    b = CheckedRgb(b);
    std::int64_t result = 0;
    for (std::int64_t mask : channelMasks) {
        const double mixed = (1.0 - weight) * static_cast<double>(Channel(a, mask)) +
                             weight * static_cast<double>(Channel(b, mask));
        // Two's complement masking wraps a channel that a weight outside 0..1 pushed out of range.
        result += RoundHalfEven(mixed) & mask;
    }
    return FromChannels(result);
}

TColor AddColors(TColor a, TColor b) {
    a = CheckedRgb(a);
    b = CheckedRgb(b);
    std::int64_t result = 0;
    for (std::int64_t mask : channelMasks) {
        const std::int64_t sum = Channel(a, mask) + Channel(b, mask);
        result += sum > mask ? mask : sum;
    }
    return FromChannels(result);
}

TColor SubtractColors(TColor a, TColor b) {
    a = CheckedRgb(a);
    b = CheckedRgb(b);
    std::int64_t result = 0;
    for (std::int64_t mask : channelMasks) {
        const std::int64_t difference = Channel(a, mask) - Channel(b, mask);
        result += difference > 0 ? difference : 0;
    }
    return FromChannels(result);
}

TColor CaptionHighlight(TColor face, TColor fontColor) {
    return MixColors(face, MixColors(fontColor, clWhite, 75.0), 0.5);
}

} // namespace vendora
