#pragma once
// Pixel counts, for tests that know how many pixels a drawing touches but not where each one lies.

#include "gfx/Bitmap.h"

namespace vendora::test {

// Counts the pixels of a colour inside a rectangle.
inline int CountPixels(const Bitmap& bitmap, const IntRect& area, TColor color) {
    int count = 0;
    for (int y = area.Top; y < area.Bottom; ++y) {
        for (int x = area.Left; x < area.Right; ++x)
            count += bitmap.Pixel(x, y) == color ? 1 : 0;
    }
    return count;
}

} // namespace vendora::test
