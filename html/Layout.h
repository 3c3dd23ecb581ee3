#pragma once
// The state of one layout pass, shared by the text layout and the form elements. Internal to html/.
//
// The pass measures text through the text engine at the canvas's scale, with no surface, and writes what
// is to be painted into an HtmlLayout; positions stay in 64 bits (HtmlLayout.h) until painting.

#include "base/Color.h"
#include "gfx/Canvas.h"
#include "gfx/Scale.h"
#include "gfx/TextEngine.h"
#include "html/HtmlHost.h"
#include "html/HtmlLayout.h"
#include "html/Markup.h"

#include <string_view>
#include <utility>

namespace vendora {

struct LayoutState {
    Coord PenX = 0;
    Coord LineTop = 0;
    Coord LeftMargin = 0;
    Coord RightEdge = 0;
    Coord LineHeight = 0;
    Coord EmptyLineHeight = 0;
    Coord GluePoint = 0;
    Alignment Align = Alignment::Left;
    bool Shadowed = false;
    TColor Background = clWhite;

    // The height a line break advances by: the tallest item, or the empty-line height for a bare line.
    Coord LineStep() const { return LineHeight != 0 ? LineHeight : EmptyLineHeight; }
};

struct LayoutPass {
    const HtmlHost& Host;
    TextEngine& Engine;
    // The canvas's scale: the renderer's own lengths (gaps, pen moves, rules, pictures) are 96-dpi ones.
    Scale Screen;
    // The markup's font at the pen.
    Font Current;
    LayoutState State;
    HtmlLayout& Result;

    // As the canvas measures them.
    int TextWidth(const Font& font, std::string_view text) const {
        return Engine.TextWidth(font.Request(), text);
    }
    int TextHeight(const Font& font) const { return Engine.Metrics(font.Request()).CellHeight(); }

    void Add(HtmlItem item) { Result.Items.push_back(std::move(item)); }
};

// The form elements of "<TEXTAREA" and "<INPUT", laid out at the pen; they move the pen and the line.
void PlaceTextArea(LayoutPass& pass, const TextAreaAttributes& area);
void PlaceInput(LayoutPass& pass, const InputAttributes& input);

} // namespace vendora
