#pragma once
// The layout state of one DrawHtml call, shared by the painter and the form elements. Internal to html/.
//
// Positions are kept in 64 bits: markup may ask for boxes and pictures billions of pixels wide, and the
// sums must stay exact arithmetic rather than wrap. Only what reaches the canvas is brought back into
// a range the canvas can add to without overflowing; nothing visible lies out there anyway.

#include "base/Color.h"
#include "gfx/Canvas.h"
#include "html/Markup.h"

#include <algorithm>
#include <cstdint>

namespace vendora {

using Coord = std::int64_t;

inline constexpr Coord CanvasReach = Coord{1} << 28;

inline int ToCanvas(Coord value) {
    return static_cast<int>(std::clamp(value, -CanvasReach, CanvasReach));
}

struct LayoutState {
    Coord PenX = 0;
    Coord LineTop = 0;
    Coord LeftMargin = 0;
    Coord RightEdge = 0;
    Coord LineHeight = 0;
    Coord EmptyLineHeight = 0;
    Coord GluePoint = 0;
    Alignment Align = Alignment::Left;
    bool Shadowed = false;
    TColor Background = clWhite;

    // The height a line break advances by: the tallest item, or the empty-line height for a bare line.
    Coord LineStep() const { return LineHeight != 0 ? LineHeight : EmptyLineHeight; }
};

// The form elements of "<TEXTAREA" and "<INPUT", drawn at the pen; they move the pen and the line.
void PlaceTextArea(Canvas& canvas, LayoutState& state, const TextAreaAttributes& area);
void PlaceInput(Canvas& canvas, LayoutState& state, const InputAttributes& input);

} // namespace vendora
