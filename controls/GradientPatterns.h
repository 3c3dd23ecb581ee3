#pragma once
// The pattern bitmap of each gradient style, painted from a colour ramp. The gradient control stretches the
// pattern over its area; the pattern's own size is fixed per style.

#include "base/SystemColors.h"
#include "controls/GradientRamp.h"
#include "gfx/Bitmap.h"

namespace vendora {

// In this order: the control's Style property stores these values.
enum class TGradientStyle {
    gsCustom,
    gsRadialC,
    gsRadialT,
    gsRadialB,
    gsRadialL,
    gsRadialR,
    gsRadialTL,
    gsRadialTR,
    gsRadialBL,
    gsRadialBR,
    gsLinearH,
    gsLinearV,
    gsReflectedH,
    gsReflectedV,
    gsDiagonalLF,
    gsDiagonalLB,
    gsDiagonalRF,
    gsDiagonalRB,
    gsArrowL,
    gsArrowR,
    gsArrowU,
    gsArrowD,
    gsDiamond,
    gsButterfly,
};

inline constexpr int GradientStyleCount = 24;

struct PatternSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const PatternSize&, const PatternSize&) = default;
};

// The pattern size of a built-in style; gsCustom has none (0 x 0), its handler sizes the pattern.
PatternSize GradientPatternSize(TGradientStyle style);

// Sizes pattern for style and sets every pixel from ramp. gsCustom has no builder: std::invalid_argument.
void BuildGradientPattern(TGradientStyle style, const TGradientColors& ramp, Bitmap& pattern);

// What gsCustom shows without a handler: 2 x 2, colour 1 at (0, 0) and (1, 1), colour 2 at the others.
void BuildCheckerPattern(const GradientEnds& ends, Bitmap& pattern);

// The control's properties that shape its pattern.
struct GradientSettings {
    TColor ColorBegin = clWhite;
    TColor ColorEnd = clBtnFace;
    TGradientStyle Style = TGradientStyle::gsRadialC;
    int Shift = 0;
    int Rotation = 0;
    bool Reverse = false;
};

// The whole build for a control without a custom handler, its system colours resolved with colors: the ramp,
// then the style's pattern, or the checkerboard of the two colours (after Reverse, before Shift) for
// gsCustom.
void BuildGradient(const GradientSettings& settings, SystemColors& colors, Bitmap& pattern);

} // namespace vendora
