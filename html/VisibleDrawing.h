#pragma once
// Lines and rectangles drawn exactly as the canvas draws them, with what lies outside the canvas cut off
// first. Markup may ask for a text area millions of rows high or shift a line by millions of pixels; the
// canvas walks every pixel of a line or frame, so the invisible part is dropped before it is walked.
// Internal to html/.

#include "gfx/Canvas.h"
#include "gfx/Geometry.h"

#include <algorithm>

namespace vendora {

// A one-pixel line from 'from' (coloured) to 'to' (not coloured) in the pen; the pen ends at 'to'. Lines
// that are neither horizontal nor vertical are left to the canvas whole.
inline void VisibleLine(Canvas& canvas, IntPoint from, IntPoint to) {
    const IntRect clip = canvas.Clip();
    const bool horizontal = from.Y == to.Y;
    const bool vertical = from.X == to.X;
    if (!horizontal && !vertical) {
        canvas.MoveTo(from.X, from.Y);
        canvas.LineTo(to.X, to.Y);
        return;
    }
    // The pixels the line colours along its axis, both ends included.
    const int start = horizontal ? from.X : from.Y;
    const int end = horizontal ? to.X : to.Y;
    int low = end > start ? start : end + 1;
    int high = end > start ? end - 1 : start;
    const int across = horizontal ? from.Y : from.X;
    const bool acrossVisible =
        horizontal ? across >= clip.Top && across < clip.Bottom : across >= clip.Left && across < clip.Right;
    low = std::max(low, horizontal ? clip.Left : clip.Top);
    high = std::min(high, horizontal ? clip.Right - 1 : clip.Bottom - 1);
    if (start != end && acrossVisible && low <= high) {
        if (horizontal) {
            canvas.MoveTo(low, across);
            canvas.LineTo(high + 1, across);
        } else {
            canvas.MoveTo(across, low);
            canvas.LineTo(across, high + 1);
        }
    }
    canvas.MoveTo(to.X, to.Y);
}

// The framework's Rectangle; edges beyond the canvas are pulled in to just outside it, where they stay
// invisible, so the visible pixels are the same.
inline void VisibleRectangle(Canvas& canvas, const IntRect& rect) {
    const IntRect clip = canvas.Clip();
    const IntRect ordered{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                          std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
    const IntRect reach{clip.Left - 1, clip.Top - 1, clip.Right + 1, clip.Bottom + 1};
    const IntRect visible{std::max(ordered.Left, reach.Left), std::max(ordered.Top, reach.Top),
                          std::min(ordered.Right, reach.Right), std::min(ordered.Bottom, reach.Bottom)};
    if (visible.Right <= visible.Left || visible.Bottom <= visible.Top)
        return;
    canvas.Rectangle(visible);
}

} // namespace vendora
