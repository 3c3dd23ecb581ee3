#include "controls/GradientPatterns.h"

#include "base/Convert.h"

#include <stdexcept>

namespace vendora {

namespace {

using Style = TGradientStyle;

// Squared distance from the pattern's middle along an axis of 362 pixels: two middle pixels, 180 and 181,
// are both at distance 0.
int MirrorSquare(int v) {
    return v <= 180 ? (180 - v) * (180 - v) : (v - 181) * (v - 181);
}

int Square(int v) {
    return v * v;
}

int RoundRoot(int squared) {
    return RoundedSquareRoot(squared);
}

// The ramp index of pixel (x, y); every value lies within 0..255 for the style's pattern size.
int RampIndex(Style style, int x, int y) {
    switch (style) {
    case Style::gsRadialC:
        return RoundRoot(MirrorSquare(x) + Square(180 - y));
    case Style::gsRadialT:
        return RoundRoot(MirrorSquare(x) + Square(y));
    case Style::gsRadialB:
        return RoundRoot(MirrorSquare(x) + Square(180 - y));
    case Style::gsRadialL:
        return RoundRoot(Square(x) + MirrorSquare(y));
    case Style::gsRadialR:
        return RoundRoot(Square(180 - x) + MirrorSquare(y));
    case Style::gsRadialTL:
        return RoundRoot(Square(x) + Square(y));
    case Style::gsRadialTR:
        return RoundRoot(Square(180 - x) + Square(y));
    case Style::gsRadialBL:
        return RoundRoot(Square(x) + Square(180 - y));
    case Style::gsRadialBR:
        return RoundRoot(Square(180 - x) + Square(180 - y));
    case Style::gsLinearH:
        return x;
    case Style::gsLinearV:
        return y;
    case Style::gsReflectedH:
        return y <= 255 ? 255 - y : y - 256;
    case Style::gsReflectedV:
        return x <= 255 ? 255 - x : x - 256;
    case Style::gsDiagonalLF:
        return x + y;
    case Style::gsDiagonalLB:
        return y - x + 127;
    case Style::gsDiagonalRF:
        return x + y < 255 ? 255 - x - y : x + y - 255;
    case Style::gsDiagonalRB:
        return x <= y ? y - x : x - y;
    case Style::gsArrowL:
        return y <= 127 ? 255 - x - y : y - x;
    case Style::gsArrowR:
        return y <= 127 ? x - y + 127 : x + y - 128;
    case Style::gsArrowU:
        return x <= 127 ? 255 - x - y : x - y;
    case Style::gsArrowD:
        return x <= 127 ? y - x + 127 : x + y - 128;
    case Style::gsDiamond:
        if (y <= 127)
            return x <= 127 ? 255 - x - y : x - y;
        return x <= 127 ? y - x : x + y - 255;
    case Style::gsButterfly:
        if (y <= 127)
            return x <= 127 ? x - y + 128 : 383 - x - y;
        return x <= 127 ? x + y - 128 : y - x + 128;
    case Style::gsCustom:
        break;
    }
    throw std::invalid_argument("gradient style without a pattern builder");
}

} // namespace

PatternSize GradientPatternSize(TGradientStyle style) {
    switch (style) {
    case Style::gsCustom:
        return {0, 0};
    case Style::gsRadialC:
        return {362, 362};
    case Style::gsRadialT:
    case Style::gsRadialB:
        return {362, 181};
    case Style::gsRadialL:
    case Style::gsRadialR:
        return {181, 362};
    case Style::gsRadialTL:
    case Style::gsRadialTR:
    case Style::gsRadialBL:
    case Style::gsRadialBR:
        return {181, 181};
    case Style::gsLinearH:
        return {256, 1};
    case Style::gsLinearV:
        return {1, 256};
    case Style::gsReflectedH:
        return {1, 512};
    case Style::gsReflectedV:
        return {512, 1};
    case Style::gsDiagonalLF:
    case Style::gsDiagonalLB:
        return {128, 129};
    case Style::gsDiagonalRF:
    case Style::gsDiagonalRB:
    case Style::gsDiamond:
    case Style::gsButterfly:
        return {256, 256};
    case Style::gsArrowL:
    case Style::gsArrowR:
        return {129, 256};
    case Style::gsArrowU:
    case Style::gsArrowD:
        return {256, 129};
    }
    throw std::invalid_argument("unknown gradient style");
}

void BuildGradientPattern(TGradientStyle style, const TGradientColors& ramp, Bitmap& pattern) {
    if (style == Style::gsCustom)
        throw std::invalid_argument("gsCustom is drawn by its handler or as the checkerboard");
    const PatternSize size = GradientPatternSize(style);
    pattern.SetSize(size.Width, size.Height);
    for (int y = 0; y < size.Height; ++y) {
        std::uint32_t* row = pattern.Row(y);
        for (int x = 0; x < size.Width; ++x)
            row[x] = PixelOf(ramp[static_cast<std::size_t>(RampIndex(style, x, y))].Color());
    }
}

void BuildCheckerPattern(const GradientEnds& ends, Bitmap& pattern) {
    pattern.SetSize(2, 2);
    pattern.SetPixel(0, 0, ends.Color1);
    pattern.SetPixel(1, 1, ends.Color1);
    pattern.SetPixel(1, 0, ends.Color2);
    pattern.SetPixel(0, 1, ends.Color2);
}

void BuildGradient(const GradientSettings& settings, SystemColors& colors, Bitmap& pattern) {
    const TColor begin = RgbOf(settings.ColorBegin, colors);
    const TColor end = RgbOf(settings.ColorEnd, colors);
    if (settings.Style == Style::gsCustom) {
        BuildCheckerPattern(OrderedGradientEnds(begin, end, settings.Reverse), pattern);
        return;
    }
    const TGradientColors ramp =
        BuildGradientRamp(begin, end, settings.Shift, settings.Rotation, settings.Reverse);
    BuildGradientPattern(settings.Style, ramp, pattern);
}

} // namespace vendora
