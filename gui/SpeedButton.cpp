#include "gui/SpeedButton.h"

#include "gui/TextLayout.h"
#include "platform/Platform.h"

namespace vendora {
namespace {

constexpr int GlyphSpacing = 4;
// Where Windows draws a push button's focus, inside its frame.
constexpr int FocusInset = 3;

} // namespace

SpeedButton::SpeedButton(Component* owner) : Control(owner) {
    SetBounds(0, 0, 23, 22);
    SetOpaque(true);
}

void SpeedButton::SetGlyph(const Bitmap& glyph) {
    glyph_.Set(glyph);
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

// The frame's lines are a 96-dpi pixel thick at the form's scale; each line's place counts in line widths
// from the button's edges.
void SpeedButton::DrawFrame(Canvas& canvas) {
    const int w = Width();
    const int h = Height();
    const int t = canvas.GetScale().Line();
    TColor light = TColor::System(SysColor::BtnHighlight);
    TColor shadow = TColor::System(SysColor::BtnShadow);
    canvas.GetBrush().SetColor(TColor::System(SysColor::BtnFace));
    canvas.FillRect(ClientRect());
    auto band = [&](TColor color, int left, int top, int right, int bottom) {
        canvas.GetBrush().SetColor(color);
        canvas.FillRect({left, top, right, bottom});
    };
    if (down_) {
        band(shadow, 0, t, t, h);
        band(shadow, 0, 0, w, t);
        band(light, t, h - t, w - t, h);
        band(light, w - t, t, w, h);
        return;
    }
    band(light, 0, t, t, h);
    band(light, 0, 0, w - t, t);
    band(clBlack, 0, h - t, w - t, h);
    band(clBlack, w - t, 0, w, h);
    band(shadow, t, h - 2 * t, w - 2 * t, h - t);
    band(shadow, w - 2 * t, t, w - t, h - t);
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
    const Scale& scale = canvas.GetScale();
    const Bitmap& glyph = glyph_.At(scale);
    int glyphWidth = glyph.Width();
    int spacing = (glyphWidth == 0 || textWidth == 0) ? 0 : scale.Px(GlyphSpacing);
    int offset = down_ ? scale.Px(1) : 0;
    int glyphX = (Width() - (glyphWidth + spacing + textWidth)) / 2 + offset;
    int textX = glyphX + glyphWidth + spacing;
    int textY = (Height() - textHeight + 1) / 2 + offset;

    if (!glyph.Empty()) {
        TColor transparent = glyph.Pixel(0, glyph.Height() - 1);
        int glyphY = (Height() - glyph.Height() + 1) / 2 + offset;
        for (int y = 0; y < glyph.Height(); ++y) {
            for (int x = 0; x < glyph.Width(); ++x) {
                TColor pixel = glyph.Pixel(x, y);
                if (!(pixel == transparent))
                    canvas.SetPixel(glyphX + x, glyphY + y, pixel);
            }
        }
    }
    DrawTextLine(canvas, textX, textY, {text.Text, text.Underline});
    DrawFocus(FocusInset);
}

void SpeedButton::Describe(std::vector<AccessibleElement>& into) const {
    into.push_back(Element(AccessibleRole::PushButton, down_));
}

} // namespace vendora
