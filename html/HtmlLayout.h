#pragma once
// A laid-out markup text: what painting it does, in order, and where it ends. The layout pass makes it
// without a surface; the paint pass replays it on a canvas.
//
// Positions are kept in 64 bits: markup may ask for boxes and pictures billions of pixels wide, and the
// sums must stay exact arithmetic rather than wrap. Only what reaches the canvas is brought back into
// a range the canvas can add to without overflowing; nothing visible lies out there anyway.

#include "base/Color.h"
#include "base/Text.h"
#include "gfx/Canvas.h"
#include "gfx/Geometry.h"
#include "html/PictureAccess.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <variant>
#include <vector>

namespace vendora {

using Coord = std::int64_t;

inline constexpr Coord CanvasReach = Coord{1} << 28;

inline int ToCanvas(Coord value) {
    return static_cast<int>(std::clamp(value, -CanvasReach, CanvasReach));
}

struct CoordRect {
    Coord Left = 0;
    Coord Top = 0;
    Coord Right = 0;
    Coord Bottom = 0;
};

// Each edge brought within the canvas's reach on its own.
inline IntRect ToCanvas(const CoordRect& r) {
    return {ToCanvas(r.Left), ToCanvas(r.Top), ToCanvas(r.Right), ToCanvas(r.Bottom)};
}

// Text with its cell's top-left corner at (X, Y), in TextFont, over the brush the highlights leave.
struct HtmlText {
    Coord X = 0;
    Coord Y = 0;
    AnsiString Text;
    Font TextFont;
};

// The brush under the text that follows: a highlight of Colour, or clear when there is none.
struct HtmlHighlight {
    std::optional<TColor> Colour;
};

// A centred or right-aligned line, drawn from its left margin, moved Shift pixels along; the strip it
// leaves is painted with Background.
struct HtmlLineShift {
    CoordRect Line;
    Coord Shift = 0;
    TColor Background;
};

// The part of a word drawn since the last space, carried to the start of the next line: its pixels copied
// from Source to Dest, Source then painted with Background.
struct HtmlCarry {
    CoordRect Source;
    CoordRect Dest;
    TColor Background;
};

// A horizontal rule of Rows black lines from Left to Right, the first at Top.
struct HtmlRule {
    Coord Left = 0;
    Coord Right = 0;
    Coord Top = 0;
    int Rows = 1;
};

// The picture belongs to the picture cache: a layout is painted before the cache is released.
struct HtmlPicture {
    CoordRect Rect;
    MarkupPicture Picture;
};

// A field or text area: the sunken box and its text.
struct HtmlFieldBox {
    CoordRect Box;
    AnsiString Text;
};

// A label naming a field (see DrawHintBox).
struct HtmlHint {
    Coord X = 0;
    Coord Y = 0;
    bool RightAligned = false;
    TColor TextColor;
    TColor Background;
    int Size = 0;
    AnsiString Text;
};

struct HtmlButton {
    Coord X = 0;
    Coord Y = 0;
    Coord Width = 0;
    AnsiString Caption;
};

using HtmlItem = std::variant<HtmlText, HtmlHighlight, HtmlLineShift, HtmlCarry, HtmlRule, HtmlPicture,
                              HtmlFieldBox, HtmlHint, HtmlButton>;

struct HtmlLayout {
    // In painting order: later items cover earlier ones, and the moves copy what is painted before them.
    std::vector<HtmlItem> Items;
    // The y just below the last line; set when the layout went through to the end.
    int Bottom = 0;
    // What ended the layout early (a malformed number's EConvertError): Items then holds what was laid
    // out before it, and Bottom is not set.
    std::exception_ptr Error;
};

} // namespace vendora
