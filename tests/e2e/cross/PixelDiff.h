#pragma once
// Compares a window's picture from the native build with the same window under Wine, pixel by pixel,
// telling differences in text from differences elsewhere.
//
// Text is drawn without antialiasing in both builds, so every pixel of a glyph has exactly the colour of
// its text. A pixel counts as text in a picture when it has one of the text colours (black, and the
// markup's blue and red unless others are named) and lies in a connected patch of that colour (8
// neighbours) no more than 40 pixels high: a letter, letters that touch, or an underline with the letters
// it touches, however wide; the largest text of these windows is about 20 pixels high. The frames and
// buttons are drawn in other colours (the button's edges are shadow and highlight colours), and a taller
// patch never counts as text. A differing pixel is a text difference when it is text in either picture:
// GDI and FreeType place and shape glyphs differently, and wider text moves the words after it. Every
// other differing pixel is a fault.
//
// A window whose height follows its text (the message window) is taller on the side whose text wraps into
// more lines. With Bottom set, its last Bottom rows (the buttons) are compared aligned on the windows'
// bottoms and the rows above aligned on their tops, so that the frame and the buttons are still compared
// pixel for pixel; the rows the taller side has beyond are its text's, and the widths must be equal.

#include "gfx/Bitmap.h"

#include <string>
#include <vector>

namespace vendora::e2e {

struct PixelDiffOptions {
    std::vector<TColor> TextColours{TColor::Rgb(0, 0, 0), TColor::Rgb(0, 0, 255), TColor::Rgb(255, 0, 0)};
    int Bottom = -1; // rows compared aligned on the bottoms when the heights differ; -1: none
};

struct PixelDiff {
    // The sizes agree (or differ by text alone) and every pixel outside text is identical.
    bool Same = false;
    // The share of differing pixels, how many are text, the first differing pixel outside text, and how
    // many text pixels each picture holds (text missing on one side shows there).
    std::string Report;
    // The Wine picture greyed, text differences in yellow and the others in red.
    Bitmap Picture;
};

PixelDiff ComparePictures(Bitmap native, Bitmap wine, const PixelDiffOptions& options = {});

} // namespace vendora::e2e
