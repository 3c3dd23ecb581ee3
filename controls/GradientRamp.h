#pragma once
// The 256-step colour ramp of the gradient control, and the pattern bitmaps its styles paint from it. The
// control builds a pattern once per change of its properties and only stretches it when painting.

#include "base/Color.h"
#include "gfx/Bitmap.h"

#include <array>
#include <cstdint>

namespace vendora {

// The byte order of a 24-bit bitmap row.
struct RampEntry {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    TColor Color() const { return TColor::Rgb(Red, Green, Blue); }
    friend bool operator==(const RampEntry&, const RampEntry&) = default;
};

using TGradientColors = std::array<RampEntry, 256>;

// The control's Shift and Rotation range, in percent.
inline constexpr int GradientPercentMin = -100;
inline constexpr int GradientPercentMax = 100;

// The two end colours, exchanged when reverse is set: colour 1 is the ramp's start. The ends given here and
// to BuildGradientRamp are RGB (the control resolves its system colours through its canvas); a system colour
// raises std::logic_error.
struct GradientEnds {
    TColor Color1;
    TColor Color2;
};
GradientEnds OrderedGradientEnds(TColor begin, TColor end, bool reverse);

// shift > 0 moves colour 1 toward colour 2 by that percentage, shift < 0 colour 2 toward colour 1.
// rotation moves the ramp's turning point: positive values rise to colour 2 at 255 - g and fall back to
// colour 1, negative ones start at colour 2, reach colour 1 at -g and return, with g = 255 * rotation / 100.
// Both are taken within -100..100 (the control clamps its properties to that range already).
TGradientColors BuildGradientRamp(TColor begin, TColor end, int shift, int rotation, bool reverse);

} // namespace vendora
