#include "gui/Form.h"

#include "gfx/TextEngine.h"
#include "gui/Application.h"
#include "gui/Control.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <thread>

namespace vendora {

void WindowBackend::WaitForInput(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Application& WindowBackend::GetApplication() const {
    if (app_ == nullptr)
        throw std::logic_error("a window back end used before an application took it (UsedBackend)");
    return *app_;
}

FrameExtent StandardFrame(BorderStyle style, const Scale& scale) {
    switch (style) {
    case BorderStyle::None:
        return {};
    case BorderStyle::Single:
    case BorderStyle::Dialog:
        return {scale.Px(3), scale.Px(29), scale.Px(3), scale.Px(3)};
    case BorderStyle::Sizeable:
        return {scale.Px(8), scale.Px(28), scale.Px(8), scale.Px(8)};
    }
    return {};
}

Form::Form(Application& app) : Form(app, &app) {}

Form::Form(Application& app, Component* owner) : Component(owner), app_(app), surface_(0, 0) {
    if (app_.HasBackend())
        scale_ = app_.Backend().ScreenScale();
    canvas_ = std::make_unique<Canvas>(surface_, app_.Engine(), app_.Colors(), scale_);
    app_.AddForm(*this);
}

void Form::SetScale(const Scale& scale) {
    if (scale == scale_)
        return;
    scale_ = scale;
    canvas_ = std::make_unique<Canvas>(surface_, app_.Engine(), app_.Colors(), scale_);
    ScaleChanged();
    Invalidate();
}

Form::~Form() {
    // The controls go first: they still talk to this form while they are destroyed.
    DestroyComponents();
    controls_.clear();
    if (visible_ && native_)
        native_->Hide();
    bool hadNative = native_ != nullptr;
    native_.reset();
    app_.RemoveForm(*this);
    if (hadNative && app_.HasBackend())
        app_.Backend().FormDestroyed(*this);
}

void Form::SetCaption(const AnsiString& caption) {
    if (caption != caption_) {
        caption_ = caption;
        if (native_)
            native_->CaptionChanged();
    }
}

int Form::Width() const {
    FrameExtent f = app_.Backend().FrameOf(border_, CaptionButtons, scale_);
    return ClientWidth() + f.Left + f.Right;
}

int Form::Height() const {
    FrameExtent f = app_.Backend().FrameOf(border_, CaptionButtons, scale_);
    return ClientHeight() + f.Top + f.Bottom;
}

void Form::SetLeft(int left) {
    if (left != left_) {
        left_ = left;
        if (native_)
            native_->GeometryChanged();
    }
}

void Form::SetTop(int top) {
    if (top != top_) {
        top_ = top;
        if (native_)
            native_->GeometryChanged();
    }
}

void Form::SetWidth(int width) {
    FrameExtent f = app_.Backend().FrameOf(border_, CaptionButtons, scale_);
    SetClientSize(width - f.Left - f.Right, ClientHeight());
}

void Form::SetHeight(int height) {
    FrameExtent f = app_.Backend().FrameOf(border_, CaptionButtons, scale_);
    SetClientSize(ClientWidth(), height - f.Top - f.Bottom);
}

void Form::SetClientSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    int dx = width - ClientWidth();
    int dy = height - ClientHeight();
    if (dx == 0 && dy == 0)
        return;
    surface_.SetSize(width, height);
    for (Control* control : std::vector<Control*>(controls_))
        control->ApplyAnchors(dx, dy);
    if (native_)
        native_->GeometryChanged();
    Invalidate();
    if (OnResize)
        OnResize(*this);
}

void Form::SetBorderStyle(BorderStyle style) {
    // The client area keeps its size; the outer size follows the frame.
    border_ = style;
    if (native_)
        native_->GeometryChanged();
}

void Form::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    for (Control* control : controls_)
        control->ParentColorChanged();
    Invalidate();
}

void Form::SetFont(const Font& font) {
    font_ = font;
    for (Control* control : controls_)
        control->ParentFontChanged();
}

void Form::EnsureNative() {
    if (!native_)
        native_ = app_.Backend().CreateNativeWindow(*this);
}

void Form::RecreateNative() {
    native_.reset();
    if (visible_) {
        EnsureNative();
        native_->Show();
        Invalidate();
    }
}

void Form::CentreOnScreen() {
    IntPoint screen = app_.Backend().ScreenSize();
    left_ = std::max((screen.X - Width()) / 2, 0);
    top_ = std::max((screen.Y - Height()) / 2, 0);
}

void Form::Show() {
    if (visible_) {
        Activate();
        return;
    }
    // The designed position rule applies to the first showing only; later the form stays where it is.
    if (!shownOnce_ && Position == FormPosition::ScreenCenter)
        CentreOnScreen();
    shownOnce_ = true;
    // Each showing starts with the focus on the default control, drawn only once the keyboard moves it.
    focusCues_ = false;
    focused_ = nullptr;
    for (Control* control : controls_) {
        if (control->IsDefault() && control->TabStop() && control->Visible() && control->Enabled()) {
            focused_ = control;
            break;
        }
    }
    if (OnShow)
        OnShow(*this);
    EnsureNative();
    visible_ = true;
    native_->Show();
    Invalidate();
    Activate();
}

void Form::Activate() {
    app_.SetActiveForm(this);
    if (OnActivate)
        OnActivate(*this);
}

void Form::Hide() {
    if (!visible_)
        return;
    visible_ = false;
    mouseCapture_ = nullptr;
    invalid_ = {};
    if (native_)
        native_->Hide();
}

void Form::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        if (native_)
            native_->SetEnabled(enabled);
    }
}

int Form::ShowModal() {
    std::vector<Form*> disabled;
    for (Form* other : app_.Forms()) {
        if (other != this && other->Enabled()) {
            other->SetEnabled(false);
            disabled.push_back(other);
        }
    }
    modal_ = true;
    modalResult_ = ModalResult::None;
    Show();
    app_.PaintAll();
    app_.Backend().ModalStarted(*this);
    if (OnModalStart)
        OnModalStart(*this);
    // An answer given before any message (by a screen reader's action as the window came up) ends the loop
    // at once.
    while (modalResult_ == ModalResult::None || !CloseQueryAndHide()) {
        if (!app_.HandleMessage()) {
            // No input can come any more: as closing the window.
            Close();
        }
    }
    modal_ = false;
    for (Form* other : disabled) {
        if (app_.HasForm(other))
            other->SetEnabled(true);
    }
    return modalResult_;
}

bool Form::CloseQueryAndHide() {
    CloseAction action = CloseAction::Hide;
    if (OnClose)
        OnClose(*this, action);
    if (action == CloseAction::None) {
        modalResult_ = ModalResult::None;
        return false;
    }
    Hide();
    return true;
}

void Form::Close() {
    if (modal_) {
        modalResult_ = ModalResult::Cancel;
        return;
    }
    CloseQueryAndHide();
}

void Form::Invalidate(const IntRect& area, bool erase) {
    IntRect clipped = area.Intersected(ClientRect());
    if (clipped.IsEmpty())
        return;
    if (invalid_.IsEmpty()) {
        invalid_ = clipped;
    } else {
        invalid_ = {std::min(invalid_.Left, clipped.Left), std::min(invalid_.Top, clipped.Top),
                    std::max(invalid_.Right, clipped.Right), std::max(invalid_.Bottom, clipped.Bottom)};
    }
    eraseInvalid_ = eraseInvalid_ || erase;
}

void Form::PaintInvalid() {
    if (!visible_ || invalid_.IsEmpty())
        return;
    IntRect area = invalid_;
    bool erase = eraseInvalid_;
    invalid_ = {};
    eraseInvalid_ = false;
    Canvas& canvas = GetCanvas();
    canvas.SetOrigin({0, 0});
    canvas.SetClip(area);
    if (erase) {
        CanvasStateSaver saved(canvas);
        canvas.GetBrush().SetColor(color_);
        canvas.GetBrush().SetStyle(BrushStyle::Solid);
        canvas.FillRect(area);
    }
    if (OnPaint)
        OnPaint(*this);
    canvas.ResetClip();
    for (Control* control : std::vector<Control*>(controls_))
        control->PaintIn(area);
    if (native_)
        native_->Present(area);
}

void Form::InsertControl(Control& control) {
    if (std::find(controls_.begin(), controls_.end(), &control) == controls_.end())
        controls_.push_back(&control);
}

void Form::RemoveControl(Control& control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
    if (mouseCapture_ == &control)
        mouseCapture_ = nullptr;
    if (focused_ == &control)
        focused_ = nullptr;
}

Control* Form::ControlAt(int x, int y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->Visible() && (*it)->Enabled() && (*it)->BoundsRect().Contains(x, y))
            return *it;
    }
    return nullptr;
}

void Form::SettingsChanged() {
    for (Control* control : std::vector<Control*>(controls_))
        control->SettingsChanged();
    Invalidate();
}

void Form::SetFocusedControl(Control* control) {
    if (control == focused_)
        return;
    if (focused_ != nullptr)
        focused_->Invalidate();
    focused_ = control;
    if (focused_ == nullptr)
        return;
    focused_->Invalidate();
    if (const int child = ChildOf(*focused_); child != 0)
        Announce(AccessibleEvent::Focus, child);
}

Control* Form::NextTabStop(bool backwards) const {
    std::vector<Control*> stops;
    for (Control* control : controls_) {
        if (control->TabStop() && control->Visible() && control->Enabled())
            stops.push_back(control);
    }
    if (stops.empty())
        return nullptr;
    auto at = std::find(stops.begin(), stops.end(), focused_);
    if (at == stops.end())
        return backwards ? stops.back() : stops.front();
    const auto n = static_cast<std::ptrdiff_t>(stops.size());
    const std::ptrdiff_t index = ((at - stops.begin()) + (backwards ? n - 1 : 1)) % n;
    return stops[static_cast<std::size_t>(index)];
}

void Form::MoveFocus(bool backwards) {
    Control* next = NextTabStop(backwards);
    if (!focusCues_) {
        focusCues_ = true;
        if (focused_ != nullptr)
            focused_->Invalidate();
    }
    SetFocusedControl(next);
}

bool Form::DialogKey(int key, bool shift) {
    switch (key) {
    case VirtualKey::Tab:
        if (NextTabStop(shift) == nullptr)
            return false;
        MoveFocus(shift);
        return true;
    case VirtualKey::Left:
    case VirtualKey::Up:
    case VirtualKey::Right:
    case VirtualKey::Down:
        // As in a Windows message box: the arrows go round the buttons once one has the focus.
        if (focused_ == nullptr)
            return false;
        MoveFocus(key == VirtualKey::Left || key == VirtualKey::Up);
        return true;
    case VirtualKey::Space:
    case VirtualKey::Return:
        if (focused_ == nullptr || !focused_->Visible() || !focused_->Enabled())
            return false;
        focused_->Click();
        return true;
    default:
        return false;
    }
}

AccessibleTree Form::Describe() const {
    AccessibleTree tree;
    tree.Name = caption_;
    for (const Control* control : controls_) {
        if (control->Visible())
            control->Describe(tree.Children);
    }
    return tree;
}

int Form::ChildOf(const Control& control) const {
    const AccessibleTree tree = Describe();
    for (std::size_t i = 0; i < tree.Children.size(); ++i) {
        if (tree.Children[i].Target == &control)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

bool Form::DoDefaultAction(int child) {
    const AccessibleTree tree = Describe();
    if (child < 1 || child > static_cast<int>(tree.Children.size()) || !visible_ || !enabled_)
        return false;
    Control* target = tree.Children[static_cast<std::size_t>(child) - 1].Target;
    if (target == nullptr || !target->Enabled())
        return false;
    target->Click();
    return true;
}

void Form::Announce(AccessibleEvent event, int child) {
    if (native_ && visible_)
        native_->Announce(event, child);
}

void Form::KeyDown(int key) {
    if (OnKeyDown)
        OnKeyDown(*this, key);
}

void Form::KeyPress(char key) {
    if (OnKeyPress)
        OnKeyPress(*this, key);
}

void Form::MouseDown(MouseButton button, int x, int y) {
    Control* target = ControlAt(x, y);
    mouseCapture_ = target;
    if (target != nullptr) {
        target->MouseDown(button, x - target->Left(), y - target->Top());
    } else if (OnMouseDown) {
        OnMouseDown(*this, button, x, y);
    }
}

void Form::MouseMove(int x, int y) {
    Control* target = mouseCapture_ != nullptr ? mouseCapture_ : ControlAt(x, y);
    if (target != nullptr) {
        target->MouseMove(x - target->Left(), y - target->Top());
    } else if (OnMouseMove) {
        OnMouseMove(*this, x, y);
    }
}

void Form::MouseUp(MouseButton button, int x, int y) {
    Control* target = mouseCapture_;
    mouseCapture_ = nullptr;
    if (target == nullptr) {
        if (OnMouseUp)
            OnMouseUp(*this, button, x, y);
        return;
    }
    int cx = x - target->Left();
    int cy = y - target->Top();
    target->MouseUp(button, cx, cy);
    // A click is a left button released over the control that took the press.
    bool stillHere = std::find(controls_.begin(), controls_.end(), target) != controls_.end();
    if (stillHere && button == MouseButton::Left && target->ClientRect().Contains(cx, cy))
        target->Click();
}

} // namespace vendora
