#pragma once
// Where the message window paints its markup and in which font it starts, at 96 dpi: the window and the
// markup preview tool paint a message the same way from here.

#include "gfx/Canvas.h"
#include "gfx/Scale.h"

namespace vendora::MessageArea {

// The text starts Left pixels in and Top pixels down, and is as wide as the window less Margins.
inline constexpr int Left = 20;
inline constexpr int Top = 5;
inline constexpr int Margins = 40;
// Below the text, before anything else (the preview's picture ends there).
inline constexpr int BottomMargin = 5;

// "Tahoma" of 13 pixels in the window's text colour, at scale.
inline Font StartFont(const Scale& scale = {}) {
    Font font;
    font.Name = "Tahoma";
    font.SetHeight(-13);
    font.Color = clWindowText;
    return font.Scaled(scale);
}

} // namespace vendora::MessageArea
