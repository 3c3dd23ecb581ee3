#include "html/DrawHtml.h"

#include "html/FormElements.h"
#include "html/PictureAccess.h"

#include <exception>
#include <variant>

namespace vendora {

namespace {

void PaintBackground(Canvas& canvas, const IntRect& area, TColor background) {
    canvas.GetPen().Color = background;
    canvas.GetBrush().SetColor(background);
    canvas.GetBrush().SetStyle(BrushStyle::Solid);
    canvas.Rectangle(area);
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
}

// Each item as the canvas calls that paint it; the brush and pen an item leaves are what the next finds.
class ItemPainter {
public:
    explicit ItemPainter(Canvas& canvas) : canvas_(canvas) {}

    void operator()(const HtmlText& text) {
        canvas_.GetFont() = text.TextFont;
        canvas_.TextOut(ToCanvas(text.X), ToCanvas(text.Y), text.Text);
    }

    void operator()(const HtmlHighlight& highlight) {
        if (highlight.Colour)
            canvas_.GetBrush().SetColor(*highlight.Colour);
        else
            canvas_.GetBrush().SetStyle(BrushStyle::Clear);
    }

    // The line's pixels are copied along, then the strip they leave is painted.
    void operator()(const HtmlLineShift& shift) {
        const IntRect line = ToCanvas(shift.Line);
        canvas_.CopyRect(line.Translated(ToCanvas(shift.Shift), 0), line);
        PaintBackground(canvas_, {line.Left, line.Top, ToCanvas(shift.Line.Left + shift.Shift), line.Bottom},
                        shift.Background);
    }

    void operator()(const HtmlCarry& carry) {
        const IntRect source = ToCanvas(carry.Source);
        canvas_.CopyRect(ToCanvas(carry.Dest), source);
        PaintBackground(canvas_, source, carry.Background);
    }

    void operator()(const HtmlRule& rule) {
        canvas_.GetPen().Color = clBlack;
        for (int row = 0; row < rule.Rows; ++row) {
            canvas_.MoveTo(ToCanvas(rule.Left), ToCanvas(rule.Top + row));
            canvas_.LineTo(ToCanvas(rule.Right), ToCanvas(rule.Top + row));
        }
    }

    void operator()(const HtmlPicture& picture) {
        PaintPicture(canvas_, ToCanvas(picture.Rect), picture.Picture);
    }

    void operator()(const HtmlFieldBox& field) { DrawFieldBox(canvas_, ToCanvas(field.Box), field.Text); }

    void operator()(const HtmlHint& hint) {
        DrawHintBox(canvas_, ToCanvas(hint.X), ToCanvas(hint.Y), hint.RightAligned, hint.TextColor,
                    hint.Background, hint.Size, hint.Text);
    }

    void operator()(const HtmlButton& button) {
        DrawButton(canvas_, ToCanvas(button.X), ToCanvas(button.Y), ToCanvas(button.Width), button.Caption);
    }

private:
    Canvas& canvas_;
};

} // namespace

void PaintHtml(Canvas& canvas, const HtmlLayout& layout) {
    const CanvasStateSaver saved(canvas);
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
    ItemPainter painter(canvas);
    for (const HtmlItem& item : layout.Items)
        std::visit(painter, item);
}

int MeasureHtml(const HtmlHost& host, TextEngine& engine, const Scale& scale, const Font& font, int x, int y,
                int width, std::string_view text) {
    // The background only colours what the layout moves; it takes no place.
    const HtmlLayout layout = LayoutHtml(host, engine, scale, font, x, y, width, text, clWhite);
    if (layout.Error)
        std::rethrow_exception(layout.Error);
    return layout.Bottom;
}

int DrawHtml(Canvas& canvas, const HtmlHost& host, int x, int y, int width, std::string_view text,
             TColor background) {
    const HtmlLayout layout =
        LayoutHtml(host, canvas.Engine(), canvas.GetScale(), canvas.GetFont(), x, y, width, text, background);
    PaintHtml(canvas, layout);
    if (layout.Error)
        std::rethrow_exception(layout.Error);
    return layout.Bottom;
}

} // namespace vendora
