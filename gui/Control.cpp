#include "gui/Control.h"

#include "gui/Application.h"
#include "gui/Form.h"

#include <stdexcept>

namespace vendora {

Control::Control(Component* owner) : Component(owner) {}

bool Control::Focused() const {
    return parent_ != nullptr && parent_->FocusedControl() == this;
}

AccessibleElement Control::Element(AccessibleRole role, bool pressed) const {
    AccessibleElement element;
    element.Role = role;
    element.Name = AccessibleName(DisplayText());
    element.Bounds = bounds_;
    if (tabStop_)
        element.States |= AccessibleState::Focusable;
    if (Focused())
        element.States |= AccessibleState::Focused;
    if (default_)
        element.States |= AccessibleState::Default;
    if (!enabled_)
        element.States |= AccessibleState::Unavailable;
    if (pressed)
        element.States |= AccessibleState::Pressed;
    if (role == AccessibleRole::PushButton) {
        element.Shortcut = AccessibleShortcut(DisplayText());
        element.Target = const_cast<Control*>(this);
    }
    return element;
}

void Control::DrawFocus(int inset) {
    if (!Focused() || !parent_->FocusCues())
        return;
    Canvas& canvas = GetCanvas();
    const int d = canvas.GetScale().Px(inset);
    canvas.DrawFocusRect({d, d, Width() - d, Height() - d});
}

Control::~Control() {
    if (parent_ != nullptr)
        parent_->RemoveControl(*this);
}

void Control::SetParent(Form* parent) {
    if (parent == parent_)
        return;
    if (parent_ != nullptr) {
        Invalidate();
        parent_->RemoveControl(*this);
    }
    parent_ = parent;
    canvas_.reset();
    if (parent_ != nullptr) {
        parent_->InsertControl(*this);
        Placed();
        if (parentFont_)
            ParentFontChanged();
        if (parentColor_)
            ParentColorChanged();
        Invalidate();
    }
}

void Control::SetBounds(int left, int top, int width, int height) {
    IntRect bounds = IntRect::FromSize(left, top, width, height);
    if (bounds == bounds_)
        return;
    Invalidate();
    bounds_ = bounds;
    Invalidate();
}

void Control::ApplyAnchors(int dx, int dy) {
    int left = Left();
    int top = Top();
    int width = Width();
    int height = Height();
    if ((anchors_ & Anchor::Right) != 0) {
        if ((anchors_ & Anchor::Left) != 0) {
            width += dx;
        } else {
            left += dx;
        }
    }
    if ((anchors_ & Anchor::Bottom) != 0) {
        if ((anchors_ & Anchor::Top) != 0) {
            height += dy;
        } else {
            top += dy;
        }
    }
    SetBounds(left, top, width, height);
}

void Control::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    // Invalidate while visible, so that both showing and hiding repaint the area.
    if (visible_)
        Invalidate();
    visible_ = visible;
    Invalidate();
}

void Control::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        Invalidate();
    }
}

void Control::SetCaption(const AnsiString& caption) {
    if (caption != caption_) {
        caption_ = caption;
        CaptionChanged();
    }
}

void Control::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        parentColor_ = false;
        Invalidate();
    }
}

void Control::SetParentColor(bool value) {
    parentColor_ = value;
    if (value)
        ParentColorChanged();
}

void Control::SetFont(const Font& font) {
    parentFont_ = false;
    if (!(font == font_)) {
        font_ = font;
        FontChanged();
    }
}

void Control::SetParentFont(bool value) {
    parentFont_ = value;
    if (value)
        ParentFontChanged();
}

void Control::ParentColorChanged() {
    if (parent_ != nullptr && parentColor_ && !(color_ == parent_->Color())) {
        color_ = parent_->Color();
        Invalidate();
    }
}

void Control::ParentFontChanged() {
    if (parent_ != nullptr && parentFont_ && !(font_ == parent_->GetFont())) {
        font_ = parent_->GetFont();
        FontChanged();
    }
}

void Control::Invalidate() {
    if (parent_ != nullptr && visible_)
        parent_->Invalidate(bounds_, !opaque_);
}

Canvas& Control::GetCanvas() {
    // A control paints on its form: there is no canvas outside one.
    if (parent_ == nullptr)
        throw std::logic_error("a control painted outside a form");
    const Scale scale = parent_->GetScale();
    if (!canvas_ || !(canvas_->GetScale() == scale)) {
        Application& app = parent_->GetApplication();
        canvas_ = std::make_unique<Canvas>(parent_->Surface(), app.Engine(), app.Colors(), scale);
    }
    // While painting, the clip is the part being painted; it stays as PaintIn set it.
    if (!painting_) {
        canvas_->SetOrigin({Left(), Top()});
        canvas_->SetClip(ClientRect());
    }
    return *canvas_;
}

void Control::PaintIn(const IntRect& area) {
    IntRect visible = area.Intersected(bounds_);
    if (!visible_ || visible.IsEmpty() || parent_ == nullptr)
        return;
    Canvas& canvas = GetCanvas();
    canvas.SetClip(visible.Translated(-Left(), -Top()));
    painting_ = true;
    try {
        Paint();
    } catch (...) {
        painting_ = false;
        throw;
    }
    painting_ = false;
    canvas.SetClip(ClientRect());
}

void Control::MouseDown(MouseButton button, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(*this, button, x, y);
}

void Control::MouseMove(int x, int y) {
    if (OnMouseMove)
        OnMouseMove(*this, x, y);
}

void Control::MouseUp(MouseButton button, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(*this, button, x, y);
}

void Control::Click() {
    if (OnClick)
        OnClick(*this);
}

} // namespace vendora
