#include "controls/ui/CurvedSpeedButton.h"

#include "controls/ColorOps.h"
#include "controls/ShadedShapes.h"
#include "gui/Form.h"

namespace vendora {
namespace {
// Pixels added to the glyph's width when glyph and caption are centred together.
constexpr int GlyphGap = 5;
// Where Windows draws a push button's focus, inside its frame.
constexpr int FocusInset = 3;
} // namespace

TCurvedSpeedButton::TCurvedSpeedButton(Component* owner) : Control(owner) {}

void TCurvedSpeedButton::SetGlyph(const Bitmap& glyph) {
    glyph_.Set(glyph);
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
        SetColor(canvas.Resolve(Parent()->Color()));
    const Scale& scale = canvas.GetScale();
    const Bitmap& glyph = glyph_.At(scale);
    const int one = scale.Px(1);
    int gw = glyph.Empty() ? 0 : glyph.Width() + scale.Px(GlyphGap);
    DrawShadedBox(canvas, 0, 0, Width() - 1, Height() - 1, Color(), ButtonShadingStep, pressed_);
    canvas.GetBrush().SetStyle(BrushStyle::Clear);

    const AnsiString& caption = Caption();
    int tx = (Width() - canvas.TextWidth(caption) - gw) / 2 + gw;
    int ty = (Height() - canvas.TextHeight(caption)) / 2;
    if (pressed_) {
        tx += one;
        ty += one;
    }
    TColor fontColor = canvas.GetFont().Color;
    canvas.GetFont().Color = CaptionHighlight(canvas.Resolve(Color()), canvas.Resolve(fontColor));
    canvas.TextOut(tx + one, ty + one, caption);
    canvas.GetFont().Color = fontColor;
    canvas.TextOut(tx, ty, caption);
    if (!glyph.Empty())
        DrawGlyph(canvas, glyph, tx - gw);
    DrawFocus(FocusInset);
}

void TCurvedSpeedButton::Describe(std::vector<AccessibleElement>& into) const {
    into.push_back(Element(AccessibleRole::PushButton, pressed_));
}

void TCurvedSpeedButton::DrawGlyph(Canvas& canvas, const Bitmap& glyph, int gx) {
    const int one = canvas.GetScale().Px(1);
    int gy = (Height() - glyph.Height()) / 2 + one + (pressed_ ? one : 0);
    TColor transparent = glyph.Pixel(0, 0);
    for (int i = 0; i < glyph.Width(); ++i) {
        for (int j = 0; j < glyph.Height(); ++j) {
            TColor pixel = glyph.Pixel(i, j);
            if (pixel != transparent)
                canvas.SetPixel(gx + i - one, gy + j - one, pixel);
        }
    }
}

} // namespace vendora
