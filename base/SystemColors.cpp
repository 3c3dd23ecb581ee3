#include "base/SystemColors.h"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace vendora {

TColor RgbOf(TColor color, SystemColors& colors) {
    if (!color.IsSystem())
        return color;
    return colors.GetSysColor(color.SystemIndex());
}

TColor CheckedRgb(TColor color) {
    if (color.IsSystem())
        throw std::logic_error("system colour " + std::to_string(color.SystemIndex()) + " used unresolved");
    return color;
}

TColor XpSysColor(int index) {
    // Windows XP "Luna" defaults, indexes 0 to 30 of GetSysColor, as RGB.
    static constexpr std::array<TColor, 31> table = {
        TColor::Rgb(212, 208, 200), // 0 scroll bar
        TColor::Rgb(0, 78, 152),    // 1 background
        TColor::Rgb(0, 84, 227),    // 2 active caption
        TColor::Rgb(122, 150, 223), // 3 inactive caption
        TColor::Rgb(255, 255, 255), // 4 menu
        TColor::Rgb(255, 255, 255), // 5 window
        TColor::Rgb(0, 0, 0),       // 6 window frame
        TColor::Rgb(0, 0, 0),       // 7 menu text
        TColor::Rgb(0, 0, 0),       // 8 window text
        TColor::Rgb(255, 255, 255), // 9 caption text
        TColor::Rgb(212, 208, 200), // 10 active border
        TColor::Rgb(212, 208, 200), // 11 inactive border
        TColor::Rgb(128, 128, 128), // 12 application workspace
        TColor::Rgb(49, 106, 197),  // 13 highlight
        TColor::Rgb(255, 255, 255), // 14 highlight text
        TColor::Rgb(236, 233, 216), // 15 button face
        TColor::Rgb(172, 168, 153), // 16 button shadow
        TColor::Rgb(172, 168, 153), // 17 grey text
        TColor::Rgb(0, 0, 0),       // 18 button text
        TColor::Rgb(216, 228, 248), // 19 inactive caption text
        TColor::Rgb(255, 255, 255), // 20 button highlight
        TColor::Rgb(113, 111, 100), // 21 3D dark shadow
        TColor::Rgb(241, 239, 226), // 22 3D light
        TColor::Rgb(0, 0, 0),       // 23 info text
        TColor::Rgb(255, 255, 225), // 24 info background
        TColor::Rgb(181, 181, 181), // 25 (unused)
        TColor::Rgb(0, 0, 128),     // 26 hot light
        TColor::Rgb(61, 149, 255),  // 27 gradient active caption
        TColor::Rgb(157, 185, 235), // 28 gradient inactive caption
        TColor::Rgb(49, 106, 197),  // 29 menu highlight
        TColor::Rgb(236, 233, 216), // 30 menu bar
    };
    if (index < 0 || index >= static_cast<int>(table.size()))
        return TColor(0);
    return table[static_cast<std::size_t>(index)];
}

} // namespace vendora
