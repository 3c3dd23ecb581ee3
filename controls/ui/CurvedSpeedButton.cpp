#include "controls/ui/CurvedSpeedButton.h"

#include "controls/ColorOps.h"
#include "controls/ShadedShapes.h"
#include "gui/Form.h"
#include "platform/Platform.h"

namespace vendora {
namespace {
// Pixels added to the glyph's width when glyph and caption are centred together.
constexpr int GlyphGap = 5;
} // namespace

TCurvedSpeedButton::TCurvedSpeedButton(Component* owner) : Control(owner) {}

void TCurvedSpeedButton::SetGlyph(const Bitmap& glyph) {
    glyph_ = glyph;
    Invalidate();
}

void TCurvedSpeedButton::SetTransparent(bool value) {
    if (value != transparent_) {
        transparent_ = value;
        Invalidate();
    }
}

void TCurvedSpeedButton::SetPressed(bool pressed) {
    pressed_ = pressed;
    if (Parent() != nullptr)
        Parent()->Invalidate(BoundsRect(), false);
    Invalidate();
}

void TCurvedSpeedButton::MouseDown(MouseButton button, int x, int y) {
    SetPressed(true);
    Control::MouseDown(button, x, y);
}

void TCurvedSpeedButton::MouseUp(MouseButton button, int x, int y) {
    SetPressed(false);
    Control::MouseUp(button, x, y);
}

void TCurvedSpeedButton::Paint() {
    Canvas& canvas = GetCanvas();
    canvas.GetFont() = GetFont();
    // The face follows the form's colour when asked to; without a form it keeps its own.
    if (Parent() != nullptr && (ParentColor() || transparent_))
        SetColor(ResolveColor(Parent()->Color()));
    int gw = glyph_.Empty() ? 0 : glyph_.Width() + GlyphGap;
    DrawShadedBox(canvas, 0, 0, Width() - 1, Height() - 1, Color(), ButtonShadingStep, pressed_);
    canvas.GetBrush().SetStyle(BrushStyle::Clear);

    const AnsiString& caption = Caption();
    int tx = (Width() - canvas.TextWidth(caption) - gw) / 2 + gw;
    int ty = (Height() - canvas.TextHeight(caption)) / 2;
    if (pressed_) {
        ++tx;
        ++ty;
    }
    TColor fontColor = canvas.GetFont().Color;
    canvas.GetFont().Color = CaptionHighlight(Color(), fontColor);
    canvas.TextOut(tx + 1, ty + 1, caption);
    canvas.GetFont().Color = fontColor;
    canvas.TextOut(tx, ty, caption);
    if (!glyph_.Empty())
        DrawGlyph(canvas, tx - gw);
}

void TCurvedSpeedButton::DrawGlyph(Canvas& canvas, int gx) {
    int gy = (Height() - glyph_.Height()) / 2 + 1 + (pressed_ ? 1 : 0);
    TColor transparent = glyph_.Pixel(0, 0);
    for (int i = 0; i < glyph_.Width(); ++i) {
        for (int j = 0; j < glyph_.Height(); ++j) {
            TColor pixel = glyph_.Pixel(i, j);
            if (pixel != transparent)
                canvas.SetPixel(gx + i - 1, gy + j - 1, pixel);
        }
    }
}

} // namespace vendora
