#pragma once
// Every window is designed in pixels of a 96-dpi screen. On a denser screen each of its lengths is worth
// dpi / 96 device pixels; Scale is the one place that turns a 96-dpi length into device pixels, so that no
// window, control or shape rounds on its own. The rule is MulDiv's: the product rounded to the nearest
// pixel, halves away from zero. A rectangle scales its edges, not its size, so that shapes that meet at
// 96 dpi still meet at every scale and each edge lands on a whole pixel.

#include "base/Convert.h"
#include "gfx/Geometry.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace vendora {

class Scale {
public:
    static constexpr int DesignDpi = 96;
    // The densities a screen can report and the program accepts: from half to five times the design.
    static constexpr int MinDpi = 48;
    static constexpr int MaxDpi = 480;

    constexpr Scale() = default;
    // A dpi outside MinDpi..MaxDpi is taken to its nearest limit.
    explicit constexpr Scale(int dpi) : dpi_(std::clamp(dpi, MinDpi, MaxDpi)) {}

    constexpr int Dpi() const { return dpi_; }
    constexpr bool IsDesign() const { return dpi_ == DesignDpi; }

    // A 96-dpi length (or coordinate) in device pixels.
    int Px(int length) const { return IsDesign() ? length : MulDiv(length, dpi_, DesignDpi); }
    // The thickness of a 96-dpi one-pixel line: never less than a pixel.
    int Line() const { return std::max(1, Px(1)); }
    IntRect Rect(const IntRect& r) const { return {Px(r.Left), Px(r.Top), Px(r.Right), Px(r.Bottom)}; }
    IntRect Box(int x, int y, int width, int height) const {
        return Rect(IntRect::FromSize(x, y, width, height));
    }
    IntPoint Point(IntPoint p) const { return {Px(p.X), Px(p.Y)}; }

    friend constexpr bool operator==(const Scale&, const Scale&) = default;

private:
    int dpi_ = DesignDpi;
};

// A dpi as a setting writes it ("144"): nullopt unless it is a whole number from Scale::MinDpi to
// Scale::MaxDpi.
std::optional<int> ParseDpi(std::string_view text);

} // namespace vendora
