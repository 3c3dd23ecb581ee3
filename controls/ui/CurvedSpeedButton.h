#pragma once
// TCurvedSpeedButton (unit CurvedSpeedButton): a windowless push button drawn as a shaded box, raised or,
// while a mouse button is held on it, sunken; its caption is centred over a lighter copy shifted one pixel
// right and down, with an optional glyph left of it whose top-left pixel colour is transparent.

#include "gfx/Bitmap.h"
#include "gfx/Resample.h"
#include "gui/Control.h"

namespace vendora {

class TCurvedSpeedButton : public Control {
public:
    explicit TCurvedSpeedButton(Component* owner);

    bool Pressed() const { return pressed_; }
    const Bitmap& Glyph() const { return glyph_.Design(); }
    // Copies the picture into the button's own glyph.
    void SetGlyph(const Bitmap& glyph);
    // The face takes the colour of the form the button sits on, at every paint.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    void MouseDown(MouseButton button, int x, int y) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void Describe(std::vector<AccessibleElement>& into) const override;

protected:
    void Paint() override;

private:
    void SetPressed(bool pressed);
    void DrawGlyph(Canvas& canvas, const Bitmap& glyph, int x);

    bool pressed_ = false;
    bool transparent_ = false;
    ScaledGlyph glyph_{ScaledGlyph::KeyCorner::TopLeft};
};

} // namespace vendora
