#pragma once
// Pictures of form controls drawn in the flow of markup: the sunken field box with its text, the line
// splitting of a field's text, and the small framed labels with a drop shadow that name a field.

#include "base/Color.h"
#include "base/Text.h"
#include "gfx/Canvas.h"
#include "gfx/Geometry.h"

#include <string_view>
#include <vector>

namespace vendora {

// The lines of a field's text, each at most 255 characters.
using TableauDeLignes = std::vector<AnsiString>;

// Field text: "Microsoft Sans Serif" 10 points, black, 3 pixels in from the box, lines 15 pixels apart.
inline constexpr std::string_view FieldFontName = "Microsoft Sans Serif";
inline constexpr int FieldFontSize = 10;
inline constexpr int FieldTextInset = 3;
inline constexpr int FieldLineSpacing = 15;

// Cuts text into lines of at most width - 6 pixels in the canvas's current font: after a space when a
// line has one, inside a word when the word alone is too wide, and always at a carriage return (line
// feeds and carriage returns are then removed). An empty text gives one empty line. A line keeps at
// least one character, however narrow the width, so that every text is used up.
TableauDeLignes WrapFieldText(Canvas& canvas, int width, std::string_view text);

// The sunken frame of a field over box (frame lines on columns Left to Right and rows Top to Bottom) and
// its text inside; lines that would pass the bottom are left out. Leaves the font as it was, the pen
// black and the brush clear.
void DrawFieldBox(Canvas& canvas, const IntRect& box, std::string_view text);

// A framed label with a drop shadow, its top at y and its left edge at x (its right edge at x when
// rightAligned), in "Tahoma" of size points; "#13" in text starts a new line. Leaves font, brush and pen
// width as they were; the pen colour ends black.
void DrawHintBox(Canvas& canvas, int x, int y, bool rightAligned, TColor textColor, TColor background,
                 int size, std::string_view text);

// A push button width pixels wide with its top-left corner at (x, y): a face-coloured box with a grey and
// a black edge below and to the right, and caption in the field font. Leaves the font as it was, the pen
// black and the brush clear.
void DrawButton(Canvas& canvas, int x, int y, int width, std::string_view caption);

} // namespace vendora
