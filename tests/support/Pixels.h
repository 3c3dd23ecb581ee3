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

// Rows of ink (not white) among the top rows of the first column that holds any: the stem of a text's first
// letter, a capital.
inline int CapitalInk(const Bitmap& picture, int rows) {
    for (int x = 0; x < picture.Width(); ++x) {
        const int ink = rows - CountPixels(picture, {x, 0, x + 1, rows}, clWhite);
        if (ink > 0)
            return ink;
    }
    return 0;
}

} // namespace vendora::test
