#pragma once
// What the form framework needs from a windowing system. A back end makes one native window per form,
// shows it the form's pixels and feeds the user's input back to the framework as calls on the form. The
// framework itself never touches a windowing system.

#include "base/Text.h"
#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"
#include "gfx/Scale.h"
#include "gui/Accessible.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vendora {

class Application;
class Form;

// Virtual key codes, as Windows numbers them (letters and digits are their capital ASCII codes).
namespace VirtualKey {
inline constexpr int Back = 8;
inline constexpr int Tab = 9;
inline constexpr int Return = 13;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
} // namespace VirtualKey

enum class MouseButton { Left, Right, Middle };

enum class BorderStyle { None, Single, Sizeable, Dialog };

// The frame a window system puts around a form's client area: border and title bar, in pixels.
struct FrameExtent {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};
// The classic frame at 96 pixels per inch, at scale, which back ends without frames of their own report.
FrameExtent StandardFrame(BorderStyle style, const Scale& scale = {});

// The native side of one form. The form tells it about every change; it reads the rest from the form.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    // Shows the window at the form's outer bounds, with its caption, border and stay-on-top style.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Caption, outer bounds or client size changed while the window exists.
    virtual void GeometryChanged() = 0;
    virtual void CaptionChanged() = 0;
    // The client pixels of area (client coordinates) are up to date in the form's surface.
    virtual void Present(const IntRect& area) = 0;
    // A disabled window takes no input (the other windows while a modal one waits).
    virtual void SetEnabled(bool enabled) = 0;
    // Tells the screen readers what happened to the window (child 0) or an element of its tree
    // (Form::Describe); a window system without readers hears nothing.
    virtual void Announce(AccessibleEvent event, int child) {
        (void)event;
        (void)child;
    }
};

// One record of the windows' life: a kind ("window show") and named Windows-1252 texts.
struct WindowRecord {
    std::string Kind;
    std::vector<std::pair<std::string, AnsiString>> Fields;
};

// Whoever keeps the record of a run (a transcript) hears from a back end whose input comes from a source
// of its own, a script, what it delivered and what its windows did. Back ends driven by a person say
// nothing: what a person does is not recorded.
class BackendObserver {
public:
    virtual ~BackendObserver() = default;
    // An input event as its source writes it ("key Return") and its line there; "default" on line 0 is the
    // Enter that a used-up source gives. target is the form that took it, null when none did.
    virtual void InputDelivered(const std::string& event, int line, Form* target) = 0;
    // A window was shown, hidden or destroyed.
    virtual void WindowChanged(const WindowRecord& record) = 0;
};

// A fault of a back end's input source (a mistyped or impossible script). It is the fault of whoever wrote
// the source, not the program's: nothing reports it as the program's error.
class InputSourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    // Who hears about input and windows (null: nobody); see BackendObserver.
    void SetObserver(BackendObserver* observer) { observer_ = observer; }
    BackendObserver* Observer() const { return observer_; }
    virtual std::unique_ptr<NativeWindow> CreateNativeWindow(Form& form) = 0;
    virtual IntPoint ScreenSize() = 0;
    // The frame the native window of a form with this border and these caption buttons gets on a screen of
    // scale, so that outer sizes and centring are the window system's own.
    virtual FrameExtent FrameOf(BorderStyle style, bool captionButtons, const Scale& scale = {}) const {
        (void)captionButtons;
        return StandardFrame(style, scale);
    }
    // The scale of the screen a new window opens on: forms lay themselves out at it before they are shown.
    // A window that finds itself on a screen of another scale tells its form (Form::SetScale).
    virtual Scale ScreenScale() const { return {}; }
    // Delivers at most one pending input event; false when there was none. Never blocks.
    virtual bool DispatchPending() = 0;
    // Waits for one input event and delivers it, for a modal loop. False when no input can ever come again
    // (a script that has run out), so that the loop can end instead of hanging.
    virtual bool DispatchNext() = 0;
    // Waits until input is pending or about milliseconds have passed, whichever comes first, and delivers
    // nothing: a loop that retries something between pumpings sleeps here instead of spinning. Returns at
    // once when input is pending already. A back end that cannot tell when input comes lets the time pass.
    virtual void WaitForInput(int milliseconds);
    // A modal form is about to wait for its answer (its first paint is done).
    virtual void ModalStarted(Form& form) { (void)form; }
    // A form was destroyed (its native window is gone already); for the record some back ends keep.
    virtual void FormDestroyed(Form& form) { (void)form; }

protected:
    // The application whose windows this back end shows (Application::SetBackend): the forms input goes
    // to and that are painted. Asking before one has taken it is a fault of the program's start-up.
    Application& GetApplication() const;

private:
    friend class Application;
    void Attach(Application& app) { app_ = &app; }
    void Detach(const Application& app) {
        if (app_ == &app)
            app_ = nullptr;
    }

    BackendObserver* observer_ = nullptr;
    Application* app_ = nullptr;
};

} // namespace vendora
