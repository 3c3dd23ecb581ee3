#pragma once
// The canvas every window, control and the markup renderer draw through: the framework's font, brush and
// pen, lines, rectangles, text, pixels, rectangle copies and stretched pictures, over a Bitmap. One software
// implementation serves every build, so the same calls give the same pixels everywhere.
//
// Lines are one pixel wide and colour their start point but not their end point. Rectangle covers left to
// right - 1 and top to bottom - 1. Colours may be system colours; they are resolved when drawing, with the
// system colours the canvas was handed.
//
// Pens of width 0 and 1 both draw one-pixel lines; a wider pen stamps a square of its width centred on each
// pixel of the thin line. The diagonal-cross hatch is the system's 8 x 8 pattern, its lines in the brush
// colour, laid from the surface's top-left corner; its gaps, like the background of text drawn with it,
// keep what was there.

#include "base/Color.h"
#include "base/SystemColors.h"
#include "base/Text.h"
#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"
#include "gfx/Scale.h"
#include "gfx/TextEngine.h"

#include <cstdint>
#include <string_view>

namespace vendora {

enum class BrushStyle { Solid, Clear, DiagCross };
enum class PenStyle { Solid, Clear };

// A set of bold, italic and underline.
struct FontStyles {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    friend bool operator==(const FontStyles&, const FontStyles&) = default;
};

// The framework's font. Height and Size describe the same thing: Height = -MulDiv(Size, PixelsPerInch, 72);
// a positive Height is a cell height and then gives a negative Size.
class Font {
public:
    AnsiString Name = "MS Sans Serif";
    TColor Color = clWindowText;
    FontStyles Style;
    int PixelsPerInch = 96;

    int Height() const { return height_; }
    void SetHeight(int height) { height_ = height; }
    int Size() const;
    void SetSize(int points);
    FontRequest Request() const { return {Name, height_, Style.Bold, Style.Italic, Style.Underline}; }
    // This font, designed for 96 dpi, on a screen of scale: its height in device pixels, its pixels per inch
    // the screen's, so that sizes in points convert at the screen's density.
    Font Scaled(const Scale& scale) const;
    friend bool operator==(const Font&, const Font&) = default;

private:
    int height_ = -11;
};

class Brush {
public:
    TColor Color() const { return color_; }
    // As in the framework, giving a clear brush a colour makes it solid.
    void SetColor(TColor color);
    BrushStyle Style() const { return style_; }
    void SetStyle(BrushStyle style) { style_ = style; }
    friend bool operator==(const Brush&, const Brush&) = default;

private:
    TColor color_ = clWhite;
    BrushStyle style_ = BrushStyle::Solid;
};

struct Pen {
    TColor Color = clBlack;
    PenStyle Style = PenStyle::Solid;
    int Width = 1;
    friend bool operator==(const Pen&, const Pen&) = default;
};

class Canvas {
public:
    // Draws on surface, measuring and drawing text with text, resolving system colours with colors (those of
    // the machine the surface is shown on), for a screen of scale (its default font is the framework's at
    // that scale).
    Canvas(Bitmap& surface, TextEngine& text, SystemColors& colors, Scale scale = {});

    // The scale of the screen the surface is shown on: what draws here turns its 96-dpi lengths into pixels
    // with it. Coordinates given to the canvas are always device pixels.
    const Scale& GetScale() const { return scale_; }

    Font& GetFont() { return font_; }
    Brush& GetBrush() { return brush_; }
    Pen& GetPen() { return pen_; }
    const Font& GetFont() const { return font_; }
    const Brush& GetBrush() const { return brush_; }
    const Pen& GetPen() const { return pen_; }

    // color as this canvas draws it: a system colour becomes its RGB value among the canvas's system colours.
    // Code that works out colours itself (arithmetic, pixels of a bitmap) resolves them here first.
    TColor Resolve(TColor color) const { return RgbOf(color, colors_); }

    // Where a windowless control paints on its parent: the origin moves every coordinate, and drawing is
    // clipped to clip (given in the canvas's own coordinates, after the origin).
    void SetOrigin(IntPoint origin) { origin_ = origin; }
    IntPoint Origin() const { return origin_; }
    // SetClip replaces the clipping rectangle; ResetClip leaves only the surface's edges. Clip() is the
    // visible part of the surface, in the canvas's coordinates.
    void SetClip(const IntRect& clip);
    void ResetClip();
    IntRect Clip() const;
    // RectVisible: whether any pixel of rect lies inside the clipping region.
    bool RectVisible(const IntRect& rect) const;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    IntPoint PenPos() const { return penPos_; }

    // Filled with the brush (unless clear), outlined with the pen (unless clear). As on the system, with a
    // clear pen the fill covers only left to right - 2 and top to bottom - 2. The pen position stays.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const IntRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Filled with the brush only.
    void FillRect(const IntRect& r);
    // The keyboard focus as Windows draws it: every other dot of the rectangle's edge inverted (at 96 dpi the
    // pixels whose surface coordinates add up to an even number), the edge and the dots a one-pixel line
    // thick at the canvas's scale. Drawing it twice leaves the pixels as they were.
    void DrawFocusRect(const IntRect& r);

    // A solid brush fills the text cell (TextWidth x TextHeight) first; a clear or hatched brush draws only
    // the glyphs. The pen position moves to (x + TextWidth, y), as in the framework.
    void TextOut(int x, int y, std::string_view text);
    int TextWidth(std::string_view text);
    // The font's cell height (ascent plus descent), whatever the text.
    int TextHeight(std::string_view text);

    // Reading is not clipped (outside the surface reads black); writing is.

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Copies pixels within this canvas; the rectangles have the same size and may overlap (the source is
    // read whole before anything is written). Destination pixels whose source lies off the surface keep
    // their colour; rectangles of different sizes stretch as StretchDraw does.
    void CopyRect(const IntRect& dest, const IntRect& source);
    // Draws bitmap scaled into dest, nearest pixel, each direction on its own: destination column i of a
    // rectangle w wide shows source column floor((2i + 1) * width / 2w), the one under its centre (rows
    // alike). Integer enlargements repeat every pixel exactly.
    void StretchDraw(const IntRect& dest, const Bitmap& bitmap);
    void Draw(int x, int y, const Bitmap& bitmap) {
        StretchDraw(IntRect::FromSize(x, y, bitmap.Width(), bitmap.Height()), bitmap);
    }
    // Draws bitmap scaled into dest with smoothing (Resample.h's area average), working out only the pixels
    // inside the clip.
    void SmoothStretchDraw(const IntRect& dest, const Bitmap& bitmap);

    Bitmap& Surface() { return surface_; }
    TextEngine& Engine() { return text_; }

private:
    // The pixel word of color, resolved.
    std::uint32_t Stored(TColor color) const { return PixelOf(Resolve(color)); }
    // The clipping rectangle on the surface: the surface itself, narrowed by SetClip.
    IntRect DeviceClip() const;
    void FillDevice(const IntRect& area, TColor color, BrushStyle style);
    void PlotDevice(int x, int y, std::uint32_t value, const IntRect& clip);
    void LineDevice(int x0, int y0, int x1, int y1);
    // Stretches the from rectangle of source (which may reach past its edges) onto dest.
    void BlitDevice(const IntRect& dest, const Bitmap& source, const IntRect& from);
    // Moves the pixels that land on dest by (dx, dy), overlap allowed.
    void ShiftDevice(const IntRect& dest, int dx, int dy);

    Bitmap& surface_;
    TextEngine& text_;
    SystemColors& colors_;
    Scale scale_;
    Font font_;
    Brush brush_;
    Pen pen_;
    IntPoint penPos_;
    IntPoint origin_;
    IntRect clip_;
    bool clipped_ = false;
};

// Restores the canvas's font, brush and pen when it goes out of scope, on every path.
class CanvasStateSaver {
public:
    explicit CanvasStateSaver(Canvas& canvas)
        : canvas_(canvas), font_(canvas.GetFont()), brush_(canvas.GetBrush()), pen_(canvas.GetPen()) {}
    ~CanvasStateSaver() {
        canvas_.GetFont() = font_;
        canvas_.GetBrush() = brush_;
        canvas_.GetPen() = pen_;
    }
    CanvasStateSaver(const CanvasStateSaver&) = delete;
    CanvasStateSaver& operator=(const CanvasStateSaver&) = delete;

private:
    Canvas& canvas_;
    Font font_;
    Brush brush_;
    Pen pen_;
};

} // namespace vendora
