#pragma once
// The system's own look for buttons and bars: a box framed by one-pixel lines whose face is shaded in
// three horizontal bands (light on top, a short light-to-dark gradient, dark below), raised or sunken, and
// the darkening of a rectangle that casts drop shadows. Each operation sets the canvas pen's colour and
// leaves it changed; lines colour their start point and not their end point. System colours are resolved
// with the canvas's.

#include "base/Color.h"
#include "gfx/Canvas.h"

namespace vendora {

// Frame line colours: the shadow side of a box, and its lit side.
inline constexpr TColor FrameDark = TColor::Rgb(70, 70, 70);
inline constexpr TColor FrameLight = clWhite;
// Added to and subtracted from a button's face colour for its light and dark bands.
inline constexpr TColor ButtonShadingStep{0x3F3F3F};

// Rows y to y + h (both included), each a line over columns x to x + w - 1, the colour going from first on
// row y to last on row y + h. Rows outside the canvas's clipping region are skipped before their colour
// is worked out. A height of 0 or less draws nothing.
void FillGradientBand(Canvas& canvas, int x, int y, int w, int h, TColor first, TColor last);

// The framed three-band box whose frame runs over columns x to x + w and rows y to y + h. The pixels
// (x + w - 1, y), (x + w, y), (x, y + h - 1) and (x, y + h) stay unpainted, which softens two corners. A
// width below 2 draws nothing. On a canvas of another scale than 96 dpi the frame is Scale::Line() pixels
// thick, and so are the unpainted corners; the bands are worked out from the height given.
void DrawShadedBox(Canvas& canvas, int x, int y, int w, int h, TColor face, TColor step, bool sunken);

// Every pixel with x1 <= x <= x2 and y1 <= y <= y2 becomes SubtractColors(pixel, color).
void DarkenRect(Canvas& canvas, int x1, int y1, int x2, int y2, TColor color);

} // namespace vendora
