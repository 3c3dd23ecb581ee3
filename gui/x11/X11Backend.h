#pragma once
// Real windows on an X11 display (Xlib): each form gets a top-level window whose client area shows the
// form's pixels as they are painted; keys (with their Windows-1252 characters), the mouse and the close
// button come back to the form. Fixed borders get a fixed size, stay-on-top forms the _NET_WM_STATE_ABOVE
// state, and placed or centred forms their position as a hint to the window manager.

#include "gui/Backend.h"

#include <deque>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace vendora {

class X11Window;

// The Windows-1252 character a key with that keysym types when Xlib's Latin-1 lookup gives none (the euro
// sign, the French oe ligatures, Unicode keysyms); 0 when Windows-1252 has none.
char AnsiCharacterOfKeysym(unsigned long keysym);

class X11Backend : public WindowBackend {
public:
    // Opens the display named (DISPLAY when empty); std::runtime_error when it cannot be opened.
    explicit X11Backend(const std::string& displayName = "");
    ~X11Backend() override;

    std::unique_ptr<NativeWindow> CreateNativeWindow(Form& form) override;
    IntPoint ScreenSize() override;
    // The server's Xft.dpi resource, as desktops set it for their scaling; 96 dpi without it.
    Scale ScreenScale() const override { return scale_; }
    bool DispatchPending() override;
    bool DispatchNext() override;
    // Polls the connection to the X server.
    void WaitForInput(int milliseconds) override;

    // The display, for tests that drive the windows from outside (an Xlib Display*).
    void* NativeDisplay() const;
    // The X window of a form that was shown, 0 otherwise.
    unsigned long WindowOf(const Form& form) const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
    Scale scale_;
};

} // namespace vendora
