#pragma once
// Real windows on Windows (user32 and GDI): each form gets a top-level window of one window class, with the
// styles of its border and caption buttons; its client area shows the form's pixels, and keys (virtual keys
// and Windows-1252 characters), the mouse, the close button and changes of the system's colours come back
// to the form. The windows are wide (UTF-16): captions and characters cross at the edge by the fixed
// Windows-1252 table, whatever the system's ANSI code page. Modal loops wait in GetMessageW; pumping takes
// what is waiting with PeekMessageW, and both offer a key pressed in a form's window to the form as a dialog
// key (Form::DialogKey) before translating it. Screen readers find the form's accessible tree behind the
// client area (FormAccessible.h) and hear what the form announces (NotifyWinEvent).
//
// No Windows header here: the framework's names must not meet the API's macros (DrawText, CreateWindow...)
// in other files. Window handles are passed as void*.

#include "gui/Backend.h"

#include <memory>

namespace vendora {

// The window styles of a form: WS_* and WS_EX_* bits.
struct WindowStyles {
    unsigned long Style = 0;
    unsigned long ExStyle = 0;
};
WindowStyles StylesOf(BorderStyle border, bool captionButtons, bool stayOnTop);

class Win32Backend : public WindowBackend {
public:
    // Registers the window class (once per process).
    Win32Backend();

    std::unique_ptr<NativeWindow> CreateNativeWindow(Form& form) override;
    IntPoint ScreenSize() override;
    // The frame AdjustWindowRectExForDpi gives for the form's styles at scale (AdjustWindowRectEx, the
    // system's dpi, where Windows has no per-monitor dpi).
    FrameExtent FrameOf(BorderStyle style, bool captionButtons, const Scale& scale = {}) const override;
    // The system's dpi (GetDeviceCaps LOGPIXELSY: the primary monitor's). A window learns its own monitor's
    // dpi when it is made (GetDpiForWindow) and when it moves (WM_DPICHANGED).
    Scale ScreenScale() const override;
    // Dispatches every message waiting in the thread's queue; false when there was none.
    bool DispatchPending() override;
    // Waits in GetMessageW for one message and dispatches it. False once WM_QUIT has come (and for good after
    // it): the program is being ended, so no answer can come any more.
    bool DispatchNext() override;
    // Waits in MsgWaitForMultipleObjects for any new message, or until the time has passed; at once when a
    // message is waiting already.
    void WaitForInput(int milliseconds) override;

    // The window (HWND) of a form that has one, null otherwise; for tests.
    static void* WindowOf(const Form& form);

private:
    bool quit_ = false;
};

} // namespace vendora
