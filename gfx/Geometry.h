#pragma once
// Small value types of the drawing layer. Rectangles are Windows rectangles: right and bottom excluded.

#include <algorithm>

namespace vendora {

struct IntPoint {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(IntPoint, IntPoint) = default;
};

struct IntRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static constexpr IntRect FromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr IntRect Translated(int dx, int dy) const {
        return {Left + dx, Top + dy, Right + dx, Bottom + dy};
    }
    constexpr IntRect Intersected(const IntRect& o) const {
        return {std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
                std::min(Bottom, o.Bottom)};
    }
    friend constexpr bool operator==(const IntRect&, const IntRect&) = default;
};

} // namespace vendora
