#pragma once
// The markup renderer, in two passes: the layout reads the markup and measures its text through the text
// engine, without a surface, into an HtmlLayout (what is to be painted, in order, and where the text
// ends); the paint pass replays that on a canvas. Measuring a message is the layout alone.

#include "base/Color.h"
#include "gfx/Canvas.h"
#include "gfx/Scale.h"
#include "gfx/TextEngine.h"
#include "html/HtmlHost.h"
#include "html/HtmlLayout.h"

#include <string_view>

namespace vendora {

// Lays out text (Windows-1252 markup) with its top-left corner at (x, y), wrapping within width pixels,
// for a canvas of scale whose font is font (the caller's, which sets the height of an empty line), as
// DrawHtml paints it. Pictures are read (and decoded) through the host's picture cache, which nothing else
// of the host's is needed for; nothing is painted. A malformed number ends the layout there: the layout
// keeps what came before it and the error.
HtmlLayout LayoutHtml(const HtmlHost& host, TextEngine& engine, const Scale& scale, const Font& font, int x,
                      int y, int width, std::string_view text, TColor background);

// Paints layout on canvas (of the scale and font it was laid out for), item by item; the canvas comes back
// with the font, brush and pen it had. An error the layout kept is not raised here.
void PaintHtml(Canvas& canvas, const HtmlLayout& layout);

// DrawHtml's result for the same arguments, painting nothing; a malformed number raises EConvertError.
int MeasureHtml(const HtmlHost& host, TextEngine& engine, const Scale& scale, const Font& font, int x, int y,
                int width, std::string_view text);

// Paints text with its top-left corner at (x, y), wrapping within width pixels, and returns the y just
// below the last line: y plus the height of the lines, y plus the height of "W" in the caller's font for
// an empty text. background paints over the pixels that a centred or right-aligned line and a word carried
// to the next line leave behind; nothing else is filled with it.
//
// The canvas comes back with the font, brush and pen it had, also when a malformed number in the markup
// raises EConvertError ("'%s' n'est pas une valeur entière correcte"), which ends the drawing there (what
// came before it is painted) and reaches the caller. Nothing is clipped.
int DrawHtml(Canvas& canvas, const HtmlHost& host, int x, int y, int width, std::string_view text,
             TColor background);

} // namespace vendora
