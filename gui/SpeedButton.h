#pragma once
// The framework's speed button: windowless, focused only when made a tab stop, drawn raised or pressed with
// its caption (the letter after "&" underlined) and an optional glyph left of the caption. It clicks when the
// left button is released over it after a press on it.

#include "gfx/Bitmap.h"
#include "gfx/Resample.h"
#include "gui/Control.h"

namespace vendora {

class SpeedButton : public Control {
public:
    explicit SpeedButton(Component* owner);

    bool Down() const { return down_; }
    // The glyph's bottom-left pixel is its transparent colour. It is designed at 96 dpi and drawn at the
    // form's scale.
    const Bitmap& Glyph() const { return glyph_.Design(); }
    void SetGlyph(const Bitmap& glyph);

    void MouseDown(MouseButton button, int x, int y) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void Describe(std::vector<AccessibleElement>& into) const override;

protected:
    void Paint() override;

private:
    void DrawFrame(Canvas& canvas);

    bool down_ = false;
    ScaledGlyph glyph_{ScaledGlyph::KeyCorner::BottomLeft};
};

} // namespace vendora
