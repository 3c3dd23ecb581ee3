#pragma once
// Text layout shared by the framework's labels and buttons: the "&" hot-key prefix, line breaking at
// carriage returns and line feeds, word wrapping and the right-to-left reading order of a left-to-right text.

#include "base/Text.h"
#include "gfx/Canvas.h"
#include "gfx/TextEngine.h"

#include <string_view>
#include <vector>

namespace vendora {

// A caption without its "&" prefixes: "&&" stands for one "&", and the character after the first single
// "&" is underlined (Underline is its index in Text, -1 when none).
struct HotKeyText {
    AnsiString Text;
    int Underline = -1;
};
HotKeyText StripHotKey(std::string_view caption);

// One laid-out line; Underline indexes into Text as above.
struct TextLine {
    AnsiString Text;
    int Underline = -1;
};

struct LayoutOptions {
    bool WordWrap = false;
    int Width = 0; // the wrapping width, when WordWrap
    bool HotKey = true;
    bool RightToLeftReading = false;
};

// Splits text into lines at CR, LF and CR LF and, when wrapping, at blanks so that each line fits the width
// (a word wider than the width keeps a line of its own). Blanks at a wrap are dropped.
std::vector<TextLine> LayoutText(TextEngine& engine, const FontRequest& font, std::string_view text,
                                 const LayoutOptions& options);

// The width of the widest line.
int LinesWidth(TextEngine& engine, const FontRequest& font, const std::vector<TextLine>& lines);

// Draws one line with the canvas's font and brush, underlining its hot-key character.
void DrawTextLine(Canvas& canvas, int x, int y, const TextLine& line);

// A left-to-right text shown in a right-to-left paragraph: the runs of neutral characters at its start
// and end take the paragraph's direction, so they swap sides (mirrored brackets included).
AnsiString RightToLeftVisual(std::string_view paragraph, bool first, bool last);

} // namespace vendora
