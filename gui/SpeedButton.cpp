#include "gui/SpeedButton.h"

#include "gui/TextLayout.h"
#include "platform/Platform.h"

namespace vendora {
namespace {

constexpr int GlyphSpacing = 4;

void Line(Canvas& canvas, TColor color, int x1, int y1, int x2, int y2) {
    canvas.GetPen().Color = color;
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

} // namespace

SpeedButton::SpeedButton(Component* owner) : Control(owner) {
    SetBounds(0, 0, 23, 22);
    SetOpaque(true);
}

void SpeedButton::SetGlyph(const Bitmap& glyph) {
    glyph_ = glyph;
    Invalidate();
}

void SpeedButton::MouseDown(MouseButton button, int x, int y) {
    if (button == MouseButton::Left && Enabled()) {
        down_ = true;
        Invalidate();
    }
    Control::MouseDown(button, x, y);
}

void SpeedButton::MouseUp(MouseButton button, int x, int y) {
    if (button == MouseButton::Left && down_) {
        down_ = false;
        Invalidate();
    }
    Control::MouseUp(button, x, y);
}

void SpeedButton::DrawFrame(Canvas& canvas) {
    int r = Width() - 1;
    int b = Height() - 1;
    TColor light = TColor::System(SysColor::BtnHighlight);
    TColor shadow = TColor::System(SysColor::BtnShadow);
    canvas.GetBrush().SetColor(TColor::System(SysColor::BtnFace));
    canvas.FillRect(ClientRect());
    if (down_) {
        Line(canvas, shadow, 0, b, 0, 0);
        Line(canvas, shadow, 0, 0, r + 1, 0);
        Line(canvas, light, 1, b, r, b);
        Line(canvas, light, r, b, r, 0);
        return;
    }
    Line(canvas, light, 0, b, 0, 0);
    Line(canvas, light, 0, 0, r, 0);
    Line(canvas, clBlack, 0, b, r, b);
    Line(canvas, clBlack, r, b, r, -1);
    Line(canvas, shadow, 1, b - 1, r - 1, b - 1);
    Line(canvas, shadow, r - 1, b - 1, r - 1, 0);
}

void SpeedButton::Paint() {
    Canvas& canvas = GetCanvas();
    CanvasStateSaver saved(canvas);
    DrawFrame(canvas);
    canvas.GetFont() = GetFont();
    canvas.GetBrush().SetStyle(BrushStyle::Clear);

    HotKeyText text = StripHotKey(Caption());
    int textWidth = text.Text.empty() ? 0 : canvas.TextWidth(text.Text);
    int textHeight = canvas.TextHeight(text.Text.empty() ? " " : text.Text);
    int glyphWidth = glyph_.Width();
    int spacing = (glyphWidth == 0 || textWidth == 0) ? 0 : GlyphSpacing;
    int offset = down_ ? 1 : 0;
    int glyphX = (Width() - (glyphWidth + spacing + textWidth)) / 2 + offset;
    int textX = glyphX + glyphWidth + spacing;
    int textY = (Height() - textHeight + 1) / 2 + offset;

    if (!glyph_.Empty()) {
        TColor transparent = glyph_.Pixel(0, glyph_.Height() - 1);
        int glyphY = (Height() - glyph_.Height() + 1) / 2 + offset;
        for (int y = 0; y < glyph_.Height(); ++y) {
            for (int x = 0; x < glyph_.Width(); ++x) {
                TColor pixel = glyph_.Pixel(x, y);
                if (!(pixel == transparent))
                    canvas.SetPixel(glyphX + x, glyphY + y, pixel);
            }
        }
    }
    DrawTextLine(canvas, textX, textY, {text.Text, text.Underline});
}

} // namespace vendora
