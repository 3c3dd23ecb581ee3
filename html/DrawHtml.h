#pragma once
// The markup renderer: lays out and paints a markup text on a canvas in one pass, each word, picture and
// form element the moment its place is known.

#include "base/Color.h"
#include "gfx/Canvas.h"

#include <string_view>

namespace vendora {

// Paints text (Windows-1252 markup) with its top-left corner at (x, y), wrapping within width pixels, and
// returns the y just below the last line: y plus the height of the lines, y plus the height of "W" in the
// caller's font for an empty text. background paints over the pixels that a centred or right-aligned line
// and a word carried to the next line leave behind; nothing else is filled with it.
//
// The canvas comes back with the font, brush and pen it had, also when a malformed number in the markup
// raises EConvertError ("'%s' n'est pas une valeur entière correcte"), which ends the drawing there and
// reaches the caller. Nothing is clipped.
int DrawHtml(Canvas& canvas, int x, int y, int width, std::string_view text, TColor background);

} // namespace vendora
