#pragma once
// A top-level window of the framework: caption, outer bounds and client area, colour, font, border, the
// events the program binds, and the surface its client area is painted on. The native window comes from the
// application's back end; a form paints into its own surface and the back end only shows it.

#include "base/Color.h"
#include "base/Text.h"
#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "gui/Backend.h"
#include "gui/Component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vendora {

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

    explicit Form(Component* owner);
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

    // Input, delivered by the back end (client coordinates).
    void KeyDown(int key);
    void KeyPress(char key);
    void MouseDown(MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(MouseButton button, int x, int y);
    // The close button of the title bar.
    void CloseRequest() { Close(); }
    // The system's colours or settings changed: the controls hear of it and everything is repainted.
    void SettingsChanged();

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

protected:
    // The scale changed: a form sets its sizes, fonts and its controls' bounds again from its 96-dpi design.
    virtual void ScaleChanged() {}

private:
    void EnsureNative();
    void CentreOnScreen();
    void Activate();
    bool CloseQueryAndHide();

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
    std::unique_ptr<NativeWindow> native_;
};

} // namespace vendora
