#pragma once
// Windowless controls: they have no window of their own, paint on their form's surface through their own
// canvas (origin at their top-left corner, clipped to their bounds) and take the mouse events that fall on
// them. Keys go to the form; a control that is a tab stop can be the form's focused control, which Tab and
// the arrows move and Space and Enter press (Form::DialogKey).

#include "base/Color.h"
#include "base/Text.h"
#include "gfx/Canvas.h"
#include "gfx/Geometry.h"
#include "gui/Accessible.h"
#include "gui/Backend.h"
#include "gui/Component.h"

#include <functional>
#include <memory>
#include <vector>

namespace vendora {

class Form;

// Which edges of the form a control keeps its distance to when the form's client area changes size.
namespace Anchor {
inline constexpr unsigned Left = 1;
inline constexpr unsigned Top = 2;
inline constexpr unsigned Right = 4;
inline constexpr unsigned Bottom = 8;
} // namespace Anchor

class Control : public Component {
public:
    using NotifyEvent = std::function<void(Control& sender)>;
    using MouseEvent = std::function<void(Control& sender, MouseButton button, int x, int y)>;
    using MouseMoveEvent = std::function<void(Control& sender, int x, int y)>;

    explicit Control(Component* owner);
    ~Control() override;

    Form* Parent() const { return parent_; }
    void SetParent(Form* parent);

    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }
    IntRect BoundsRect() const { return bounds_; }
    IntRect ClientRect() const { return {0, 0, Width(), Height()}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

    unsigned Anchors() const { return anchors_; }
    void SetAnchors(unsigned anchors) { anchors_ = anchors; }
    // The form's client area changed by (dx, dy): move or stretch as the anchors say.
    void ApplyAnchors(int dx, int dy);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The framework's own caption of the control (labels, buttons). Controls with another kind of text
    // override DisplayText() so that back ends and scripts can read it.
    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    virtual AnsiString DisplayText() const { return caption_; }

    AnsiString Hint;

    // Tab and the arrows stop here; the default control has the focus when its form opens, so that Enter
    // presses it.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }
    bool IsDefault() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool Focused() const;

    // What a screen reader is told about the control: the elements it adds to its form's tree, in reading
    // order (none by default).
    virtual void Describe(std::vector<AccessibleElement>& into) const { (void)into; }

    TColor Color() const { return color_; }
    // A different colour also stops following the parent's.
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    Font& GetFont() { return font_; }
    const Font& GetFont() const { return font_; }
    void SetFont(const Font& font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    // Called by the form when its colour or font changes.
    void ParentColorChanged();
    void ParentFontChanged();

    // Opaque controls cover their whole area, so the form need not erase below them.
    bool Opaque() const { return opaque_; }

    // Asks for a repaint of the control's area at the next paint cycle; transparent controls have the form
    // erase below them first.
    void Invalidate();

    // The control's canvas: on the form's surface, origin at the control's corner, clipped to its bounds
    // (and to the area being painted while it paints).
    Canvas& GetCanvas();
    // Paints the part of the control inside area (form client coordinates).
    void PaintIn(const IntRect& area);

    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    MouseMoveEvent OnMouseMove;

    // Mouse input, in the control's own coordinates; the form routes it here.
    virtual void MouseDown(MouseButton button, int x, int y);
    virtual void MouseMove(int x, int y);
    virtual void MouseUp(MouseButton button, int x, int y);
    virtual void Click();
    // The system's colours or settings changed; the form passes it on to every control.
    virtual void SettingsChanged() {}
    // The control was placed on a form (its parent), whose application it now measures text with.
    virtual void Placed() {}

protected:
    virtual void Paint() {}
    virtual void FontChanged() { Invalidate(); }
    virtual void CaptionChanged() { Invalidate(); }
    void SetOpaque(bool opaque) { opaque_ = opaque; }
    // The control as one element of role: its caption read out without hot-key marks, its letter, its
    // bounds, and the focus, default and enabled states (pressed, for a button held down); a button's
    // element is pressed by its default action.
    AccessibleElement Element(AccessibleRole role, bool pressed = false) const;
    // The dotted focus rectangle inset inset 96-dpi pixels, when the control has the focus and its form
    // shows focus cues.
    void DrawFocus(int inset);

private:
    Form* parent_ = nullptr;
    IntRect bounds_;
    unsigned anchors_ = Anchor::Left | Anchor::Top;
    bool visible_ = true;
    bool enabled_ = true;
    bool opaque_ = false;
    AnsiString caption_;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    Font font_;
    bool parentFont_ = true;
    std::unique_ptr<Canvas> canvas_;
    bool painting_ = false;
    bool tabStop_ = false;
    bool default_ = false;
};

} // namespace vendora
