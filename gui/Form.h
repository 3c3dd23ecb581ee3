#pragma once
// A top-level window of the framework: caption, outer bounds and client area, colour, font, border, the
// events the program binds, and the surface its client area is painted on. The native window comes from the
// application's back end; a form paints into its own surface and the back end only shows it.

#include "base/Color.h"
#include "base/Text.h"
#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "gui/Accessible.h"
#include "gui/Backend.h"
#include "gui/Component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vendora {

class Application;
class Control;

// Designed: at Left and Top; ScreenCenter: centred the first time it shows; Default: where the window
// system puts new windows.
enum class FormPosition { Designed, ScreenCenter, Default };
enum class CloseAction { None, Hide, Free };

// Modal results: what ends a modal loop.
namespace ModalResult {
inline constexpr int None = 0;
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
} // namespace ModalResult

class Form : public Component {
public:
    using NotifyEvent = std::function<void(Form& sender)>;
    using KeyEvent = std::function<void(Form& sender, int& key)>;
    using KeyPressEvent = std::function<void(Form& sender, char& key)>;
    using MouseEvent = std::function<void(Form& sender, MouseButton button, int x, int y)>;
    using MouseMoveEvent = std::function<void(Form& sender, int x, int y)>;
    using CloseEvent = std::function<void(Form& sender, CloseAction& action)>;

    // A window of app, owned by app.
    explicit Form(Application& app);
    // A window of app, owned by owner (null: by whoever made it).
    Form(Application& app, Component* owner);
    ~Form() override;

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);

    // Outer bounds, frame included, in screen coordinates.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    int ClientWidth() const { return surface_.Width(); }
    int ClientHeight() const { return surface_.Height(); }
    void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
    void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }
    void SetClientSize(int width, int height);
    IntRect ClientRect() const { return surface_.Bounds(); }

    BorderStyle GetBorderStyle() const { return border_; }
    void SetBorderStyle(BorderStyle style);
    // The title bar's buttons (system menu, minimise, maximise, close).
    bool CaptionButtons = true;
    bool StayOnTop = false;
    FormPosition Position = FormPosition::Designed;

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    Font& GetFont() { return font_; }
    const Font& GetFont() const { return font_; }
    void SetFont(const Font& font);

    bool Visible() const { return visible_; }
    void Show();
    void Hide();
    void SetVisible(bool visible) { visible ? Show() : Hide(); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Shows the form and handles messages until a modal result is set; other windows are disabled meanwhile.
    int ShowModal();
    bool Modal() const { return modal_; }
    int GetModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    // As the close button: a modal form gets the "cancel" result, another one runs OnClose and hides.
    void Close();

    // The scale of the screen the window is on. Forms are designed at 96 dpi and lay themselves out at their
    // scale; every length a form, its controls and their painting use is in device pixels.
    const Scale& GetScale() const { return scale_; }
    // The window is (or will be) on a screen of another scale: the form lays itself out again at it
    // (ScaleChanged) and repaints. Nothing happens when the scale stays.
    void SetScale(const Scale& scale);

    // The application the window belongs to, and reaches the world through.
    Application& GetApplication() const { return app_; }

    // The client area's pixels and the form's own canvas on them.
    Bitmap& Surface() { return surface_; }
    const Bitmap& Surface() const { return surface_; }
    Canvas& GetCanvas() { return *canvas_; }

    void Invalidate() { Invalidate(ClientRect(), true); }
    virtual void Invalidate(const IntRect& area, bool erase);
    bool PaintPending() const { return !invalid_.IsEmpty(); }
    // Paints what was invalidated (background, OnPaint, then the controls) and presents it.
    void PaintInvalid();

    const std::vector<Control*>& Controls() const { return controls_; }
    void InsertControl(Control& control);
    void RemoveControl(Control& control);
    // The topmost visible control under the point (client coordinates), or null.
    Control* ControlAt(int x, int y) const;

    // The control the keyboard works on: the default control when the form is shown (none when it has
    // none), then where Tab and the arrows move it among the tab stops.
    Control* FocusedControl() const { return focused_; }
    void SetFocusedControl(Control* control);
    // The focus is drawn only once the keyboard has moved it in this showing of the form, as on Windows: a
    // window answered with the mouse looks as it always did.
    bool FocusCues() const { return focusCues_; }

    // Input, delivered by the back end (client coordinates).
    // A key the form handles as a dialog does, before its own key handler sees it: Tab and Shift+Tab and the
    // arrows move the focus among the tab stops, Space and Enter press the focused control. True when the key
    // was used so: the back end then delivers neither KeyDown nor the character the key types.
    bool DialogKey(int key, bool shift = false);
    void KeyDown(int key);
    void KeyPress(char key);
    void MouseDown(MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(MouseButton button, int x, int y);
    // The close button of the title bar.
    void CloseRequest() { Close(); }
    // The system's colours or settings changed: the controls hear of it and everything is repainted.
    void SettingsChanged();

    // What a screen reader is told: the window (named by its caption) and its controls' elements in the
    // order of the controls. A form whose elements are not all controls adds its own.
    virtual AccessibleTree Describe() const;
    // The element's default action (child as in the tree: index + 1): a button is pressed. False when the
    // element has none or cannot act now.
    bool DoDefaultAction(int child);
    // Tells the native window, and through it the screen readers, what happened to the window (child 0) or
    // one of its elements.
    void Announce(AccessibleEvent event, int child = 0);
    // The child number of the control's first element in the tree, 0 when it has none.
    int ChildOf(const Control& control) const;

    NativeWindow* Native() const { return native_.get(); }
    // The back end changes: the native window goes, and comes again from the new back end if shown.
    void DropNative() { native_.reset(); }
    void RecreateNative();

    NotifyEvent OnShow;
    NotifyEvent OnActivate;
    NotifyEvent OnPaint;
    NotifyEvent OnResize;
    KeyEvent OnKeyDown;
    KeyPressEvent OnKeyPress;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    MouseMoveEvent OnMouseMove;
    CloseEvent OnClose;
    // A modal form is up and waits for its answer.
    NotifyEvent OnModalStart;

protected:
    // The scale changed: a form sets its sizes, fonts and its controls' bounds again from its 96-dpi design.
    virtual void ScaleChanged() {}

private:
    void EnsureNative();
    void CentreOnScreen();
    void Activate();
    bool CloseQueryAndHide();
    // The next (or previous) tab stop after the focused control, going round; null when there is none.
    Control* NextTabStop(bool backwards) const;
    void MoveFocus(bool backwards);

    Application& app_;
    AnsiString caption_;
    int left_ = 0;
    int top_ = 0;
    BorderStyle border_ = BorderStyle::Sizeable;
    TColor color_ = clBtnFace;
    Font font_;
    bool visible_ = false;
    bool enabled_ = true;
    bool shownOnce_ = false;
    bool modal_ = false;
    int modalResult_ = ModalResult::None;
    Scale scale_;
    Bitmap surface_;
    std::unique_ptr<Canvas> canvas_;
    IntRect invalid_;
    bool eraseInvalid_ = false;
    std::vector<Control*> controls_;
    Control* mouseCapture_ = nullptr;
    Control* focused_ = nullptr;
    bool focusCues_ = false;
    std::unique_ptr<NativeWindow> native_;
};

} // namespace vendora
