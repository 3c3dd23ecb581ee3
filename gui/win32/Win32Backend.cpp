#include "gui/win32/Win32Backend.h"

#include "gui/win32/FormAccessible.h"

#include "base/Cp1252.h"
#include "base/Errors.h"
#include "gui/Application.h"
#include "gui/Form.h"

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

// Last: the API's macros (DrawText, CreateWindow...) must not rename the framework's declarations above.
#include "platform/win32/WindowsApi.h"
#include <windowsx.h>

namespace vendora {

WindowStyles StylesOf(BorderStyle border, bool captionButtons, bool stayOnTop) {
    WindowStyles styles;
    switch (border) {
    case BorderStyle::None:
        styles.Style = WS_POPUP;
        break;
    case BorderStyle::Single:
        // A fixed frame: a thin border and the title bar, no sizing border.
        styles.Style =
            captionButtons ? WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX : WS_CAPTION;
        break;
    case BorderStyle::Dialog:
        // A dialog's frame has the close button only; minimising and maximising make no sense for it.
        styles.Style = captionButtons ? WS_CAPTION | WS_SYSMENU : WS_CAPTION;
        styles.ExStyle = WS_EX_DLGMODALFRAME;
        break;
    case BorderStyle::Sizeable:
        styles.Style = captionButtons ? WS_OVERLAPPEDWINDOW : WS_CAPTION | WS_THICKFRAME;
        break;
    }
    if (stayOnTop)
        styles.ExStyle |= WS_EX_TOPMOST;
    return styles;
}

namespace {

constexpr wchar_t ClassName[] = L"VendoraForm";

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

// A caption for the wide window functions: the form's Windows-1252 by the fixed table, so that a title
// reads the same whatever the system's ANSI code page.
std::wstring Wide(const AnsiString& text) {
    const std::u16string wide = AnsiToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

LRESULT CALLBACK FormWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterFormClass() {
    static bool registered = false;
    if (registered)
        return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FormWindowProc;
    windowClass.hInstance = instance;
    // The program's own icon when it has one (the first icon resource), else the system's.
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (windowClass.hIcon == nullptr)
        windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512)); // IDI_APPLICATION
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    // No background brush: every pixel of the client area comes from the form's surface.
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = ClassName;
    registered = RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The per-monitor dpi calls of Windows 10's user32, looked up when first needed: on an older Windows they
// are missing and the system's dpi, the same on every monitor, is the screen's. (shcore's
// GetDpiForMonitor would load a library more at start-up for what GetDpiForWindow tells once the window
// exists.)
struct DpiCalls {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    using AdjustForDpiCall = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    GetDpiForWindowCall GetDpiForWindow = nullptr;
    AdjustForDpiCall AdjustWindowRectExForDpi = nullptr;
};

const DpiCalls& Dpi() {
    static const DpiCalls calls = [] {
        DpiCalls found;
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        found.GetDpiForWindow = LookupCall<DpiCalls::GetDpiForWindowCall>(user32, "GetDpiForWindow");
        found.AdjustWindowRectExForDpi =
            LookupCall<DpiCalls::AdjustForDpiCall>(user32, "AdjustWindowRectExForDpi");
        return found;
    }();
    return calls;
}

// The system's dpi: the one of every screen where Windows knows no other (Windows 7 and 8).
Scale SystemScale() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : Scale::DesignDpi;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return Scale(dpi > 0 ? dpi : Scale::DesignDpi);
}

Scale WindowScale(HWND hwnd) {
    if (Dpi().GetDpiForWindow != nullptr) {
        const UINT dpi = Dpi().GetDpiForWindow(hwnd);
        if (dpi != 0)
            return Scale(static_cast<int>(dpi));
    }
    return SystemScale();
}

RECT FrameRect(const WindowStyles& styles, const Scale& scale) {
    RECT rect{0, 0, 0, 0};
    if (Dpi().AdjustWindowRectExForDpi != nullptr &&
        Dpi().AdjustWindowRectExForDpi(&rect, styles.Style, FALSE, styles.ExStyle,
                                       static_cast<UINT>(scale.Dpi())) != 0) {
        return rect;
    }
    rect = {0, 0, 0, 0};
    AdjustWindowRectEx(&rect, styles.Style, FALSE, styles.ExStyle);
    return rect;
}

// The pixels of rows top..bottom of the surface as a top-down DIB: the surface's rows are contiguous 32-bit
// words in the DIB's own order, so they are shown as they are.
void DrawSurfaceRows(HDC dc, const Bitmap& surface, const IntRect& area) {
    if (area.IsEmpty())
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = surface.Width();
    info.bmiHeader.biHeight = -area.Height(); // negative: top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, area.Left, area.Top, static_cast<DWORD>(area.Width()),
                      static_cast<DWORD>(area.Height()), area.Left, 0, 0, static_cast<UINT>(area.Height()),
                      surface.Row(area.Top), &info, DIB_RGB_COLORS);
}

Exception WindowNotCreated(const AnsiString& caption, DWORD error) {
    return Exception(Ansi("La fenêtre « ") + caption + Ansi(" » ne peut pas être créée (erreur Windows ") +
                     std::to_string(error) + ").");
}

} // namespace

class Win32Window : public NativeWindow {
public:
    explicit Win32Window(Form& form) : form_(form) {
        RegisterFormClass();
        WindowStyles styles = Styles();
        DWORD style = styles.Style | (form_.Enabled() ? 0 : WS_DISABLED);
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        if (form_.Position != FormPosition::Default) {
            x = form_.Left();
            y = form_.Top();
        }
        hwnd_ =
            CreateWindowExW(styles.ExStyle, ClassName, Wide(form_.Caption()).c_str(), style, x, y,
                            form_.Width(), form_.Height(), nullptr, nullptr, GetModuleHandleW(nullptr), this);
        // Without its window the form could never answer: its modal loop would wait for ever.
        if (hwnd_ == nullptr)
            throw WindowNotCreated(form_.Caption(), GetLastError());
        // A window opened on another monitor than the one the form was laid out for.
        form_.SetScale(WindowScale(hwnd_));
        SetIcons();
    }

    ~Win32Window() override {
        if (hwnd_ != nullptr) {
            // The window's messages must not reach a form that is going away.
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            // Nor a screen reader, whatever object of the window it still holds.
            accessible_.reset();
            DestroyWindow(hwnd_);
        }
        for (HICON icon : icons_)
            if (icon != nullptr)
                DestroyIcon(icon);
    }

    void Show() override {
        ApplyStyles();
        PlaceWindow(form_.StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0);
        ShowWindow(hwnd_, SW_SHOW);
    }

    void Hide() override {
        if (GetCapture() == hwnd_)
            ReleaseCapture();
        ShowWindow(hwnd_, SW_HIDE);
    }

    void GeometryChanged() override {
        if (syncing_)
            return;
        ApplyStyles();
        PlaceWindow(nullptr, SWP_NOZORDER);
    }

    void CaptionChanged() override { SetWindowTextW(hwnd_, Wide(form_.Caption()).c_str()); }

    void Present(const IntRect& area) override {
        IntRect r = area.Intersected(form_.ClientRect());
        if (r.IsEmpty())
            return;
        RECT rect{r.Left, r.Top, r.Right, r.Bottom};
        InvalidateRect(hwnd_, &rect, FALSE);
        // Inside the window's own WM_PAINT the area joins the region being painted now.
        if (!painting_)
            UpdateWindow(hwnd_);
    }

    void SetEnabled(bool enabled) override { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

    void Announce(AccessibleEvent event, int child) override { AnnounceToReaders(hwnd_, event, child); }

    Form& GetForm() const { return form_; }

    HWND Handle() const { return hwnd_; }

    static Win32Window* Of(HWND hwnd) {
        return reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    WindowStyles Styles() const {
        return StylesOf(form_.GetBorderStyle(), form_.CaptionButtons, form_.StayOnTop);
    }

    // Border, caption buttons and stay-on-top are plain fields of the form: they are read again whenever
    // the window is shown or its geometry changes.
    void ApplyStyles() {
        WindowStyles styles = Styles();
        auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
        auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
        constexpr DWORD FrameBits =
            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        constexpr DWORD FrameExBits = WS_EX_DLGMODALFRAME;
        DWORD newStyle = (style & ~FrameBits) | styles.Style;
        DWORD newExStyle = (exStyle & ~FrameExBits) | (styles.ExStyle & FrameExBits);
        if (newStyle != style || newExStyle != exStyle) {
            SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
            SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>(newExStyle));
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
    }

    // The form's outer bounds; a form placed by the system keeps the position the system gave it.
    // Whatever the system makes of the bounds comes back to the form through WM_WINDOWPOSCHANGED.
    void PlaceWindow(HWND after, UINT flags) {
        flags |= SWP_NOACTIVATE;
        if (form_.Position == FormPosition::Default)
            flags |= SWP_NOMOVE;
        SetWindowPos(hwnd_, after, form_.Left(), form_.Top(), form_.Width(), form_.Height(), flags);
    }

    // The program's icon at the sizes of the form's scale (16 and 32 pixels at 96 dpi), for the title bar
    // and the task switcher; without an icon of its own the window keeps the class's.
    void SetIcons() {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        const int sizes[2] = {form_.GetScale().Px(16), form_.GetScale().Px(32)};
        const WPARAM kinds[2] = {ICON_SMALL, ICON_BIG};
        for (int i = 0; i < 2; ++i) {
            auto* icon = static_cast<HICON>(
                LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, sizes[i], sizes[i], 0));
            if (icon == nullptr)
                continue;
            SendMessageW(hwnd_, WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(icon));
            if (icons_[i] != nullptr)
                DestroyIcon(icons_[i]);
            icons_[i] = icon;
        }
    }

    void Paint();
    void PositionChanged();
    void ScaleChanged(const Scale& scale, const RECT& suggested);
    bool HandleInput(UINT message, WPARAM wParam, LPARAM lParam);
    void MouseButtonEvent(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT AnswerReader(WPARAM wParam, LPARAM lParam);

    Form& form_;
    HWND hwnd_ = nullptr;
    // Made at the first screen reader's request.
    std::unique_ptr<AccessibleServer> accessible_;
    HICON icons_[2] = {nullptr, nullptr};
    bool painting_ = false;
    bool syncing_ = false;
};

void Win32Window::Paint() {
    // What the framework still has to paint is painted first, so that the window never shows stale
    // pixels.
    painting_ = true;
    if (form_.PaintPending())
        form_.PaintInvalid();
    painting_ = false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    IntRect area = IntRect{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom}.Intersected(
        form_.ClientRect());
    if (dc != nullptr && !area.IsEmpty())
        DrawSurfaceRows(dc, form_.Surface(), area);
    EndPaint(hwnd_, &ps);
}

// The window went to a monitor of another dpi: the form is laid out again at its scale, and the window goes
// where Windows suggests, at the size the new layout takes.
void Win32Window::ScaleChanged(const Scale& scale, const RECT& suggested) {
    syncing_ = true;
    form_.SetLeft(suggested.left);
    form_.SetTop(suggested.top);
    form_.SetScale(scale);
    constexpr UINT Flags = SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, form_.Width(), form_.Height(), Flags);
    // The frame the system really draws may differ from the one computed for the new dpi (a system that
    // draws every frame at its own dpi): the client area is what must be the form's.
    RECT window;
    RECT client;
    if (GetWindowRect(hwnd_, &window) && GetClientRect(hwnd_, &client) &&
        (client.right != form_.ClientWidth() || client.bottom != form_.ClientHeight())) {
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top,
                     window.right - window.left + form_.ClientWidth() - client.right,
                     window.bottom - window.top + form_.ClientHeight() - client.bottom, Flags);
    }
    syncing_ = false;
    SetIcons();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

// The user moved or resized the window (or the system placed it): the form's bounds follow.
void Win32Window::PositionChanged() {
    if (syncing_ || IsIconic(hwnd_))
        return;
    RECT window;
    RECT client;
    if (!GetWindowRect(hwnd_, &window) || !GetClientRect(hwnd_, &client))
        return;
    syncing_ = true;
    form_.SetLeft(window.left);
    form_.SetTop(window.top);
    form_.SetClientSize(client.right, client.bottom);
    syncing_ = false;
}

void Win32Window::MouseButtonEvent(UINT message, WPARAM wParam, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    MouseButton button = MouseButton::Left;
    bool down = false;
    switch (message) {
    case WM_LBUTTONDOWN:
        down = true;
        break;
    case WM_RBUTTONDOWN:
        button = MouseButton::Right;
        down = true;
        break;
    case WM_MBUTTONDOWN:
        button = MouseButton::Middle;
        down = true;
        break;
    case WM_RBUTTONUP:
        button = MouseButton::Right;
        break;
    case WM_MBUTTONUP:
        button = MouseButton::Middle;
        break;
    default:
        break;
    }
    if (down) {
        // The window keeps the mouse while a button is held, as a drag needs.
        SetCapture(hwnd_);
        form_.MouseDown(button, x, y);
        return;
    }
    if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == hwnd_)
        ReleaseCapture();
    form_.MouseUp(button, x, y);
}

// Keys, characters, the mouse and the close button. False for any other message.
bool Win32Window::HandleInput(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        form_.KeyDown(static_cast<int>(wParam));
        return true;
    case WM_SYSKEYDOWN:
        // Keys held with Alt (and F10) reach the form too; the system still gets them for Alt+F4 and the
        // system menu.
        form_.KeyDown(static_cast<int>(wParam));
        return false;
    case WM_CHAR: {
        // A wide window gets the character's UTF-16 unit; one that Windows-1252 lacks types nothing.
        const std::u16string unit(1, static_cast<char16_t>(wParam));
        const AnsiString character = Utf16ToAnsi(unit);
        if (AnsiToUtf16(character) == unit)
            form_.KeyPress(character[0]);
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        MouseButtonEvent(message, wParam, lParam);
        return true;
    case WM_MOUSEMOVE:
        form_.MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return true;
    case WM_CLOSE:
        form_.CloseRequest();
        return true;
    default:
        return false;
    }
}

// A screen reader asks for an object of the window: the client area's is ours, the others the system's.
LRESULT Win32Window::AnswerReader(WPARAM wParam, LPARAM lParam) {
    if (!accessible_)
        accessible_ = std::make_unique<AccessibleServer>(form_, hwnd_);
    std::intptr_t result = 0;
    if (accessible_->Answer(wParam, lParam, result))
        return result;
    return DefWindowProcW(hwnd_, WM_GETOBJECT, wParam, lParam);
}

LRESULT Win32Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETOBJECT:
        return AnswerReader(wParam, lParam);
    case DefaultActionMessage:
        form_.DoDefaultAction(static_cast<int>(wParam));
        return 0;
    case WM_SETFOCUS: {
        // The system tells readers that the window took the keyboard; they hear which element has it.
        const Control* focused = form_.FocusedControl();
        if (const int child = focused != nullptr ? form_.ChildOf(*focused) : 0; child != 0)
            AnnounceToReaders(hwnd_, AccessibleEvent::Focus, child);
        break;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_PRINTCLIENT:
        DrawSurfaceRows(reinterpret_cast<HDC>(wParam), form_.Surface(), form_.ClientRect());
        return 0;
    case WM_ERASEBKGND:
        return 1; // the whole client area is painted from the surface
    case WM_GETMINMAXINFO: {
        // The form decides its size, also beyond the screen (a long message makes a tall window).
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {1, 1};
        info->ptMaxTrackSize = {32767, 32767};
        return 0;
    }
    case WM_WINDOWPOSCHANGED:
        PositionChanged();
        return 0; // no WM_MOVE or WM_SIZE: the bounds were taken here
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && form_.Visible())
            form_.GetApplication().SetActiveForm(&form_);
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        form_.SettingsChanged();
        break;
    case WM_DPICHANGED:
        ScaleChanged(Scale(HIWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        break;
    }
    if (message == WM_CLOSE || (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
        (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)) {
        // A disabled window (behind a modal one) takes no input, not even what was posted to it.
        if (!form_.Enabled())
            return 0;
        if (HandleInput(message, wParam, lParam))
            return 0;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

namespace {

// The form of one of our windows, null for any other window of the thread (the system's, COM's).
Form* FormOf(HWND hwnd) {
    wchar_t name[std::size(ClassName) + 1] = {};
    if (hwnd == nullptr || GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) == 0 ||
        std::wstring_view(name) != ClassName)
        return nullptr;
    Win32Window* window = Win32Window::Of(hwnd);
    return window != nullptr && window->Handle() == hwnd ? &window->GetForm() : nullptr;
}

// A key pressed in one of our enabled windows goes to the form as to a dialog first (Tab, the arrows,
// Space and Enter on the focused button). True when the form took it: it is then neither translated nor
// dispatched, so no character follows.
bool TakenAsDialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    Form* form = FormOf(msg.hwnd);
    return form != nullptr && form->Enabled() &&
           form->DialogKey(static_cast<int>(msg.wParam), GetKeyState(VK_SHIFT) < 0);
}

void Deliver(const MSG& msg) {
    if (TakenAsDialogKey(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

LRESULT CALLBACK FormWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    Win32Window* window = Win32Window::Of(hwnd);
    // Until its native side is complete, and after it is gone, the window is the system's alone.
    if (window == nullptr || window->Handle() != hwnd)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->WindowProc(message, wParam, lParam);
}

} // namespace

Win32Backend::Win32Backend() {
    RegisterFormClass();
}

std::unique_ptr<NativeWindow> Win32Backend::CreateNativeWindow(Form& form) {
    return std::make_unique<Win32Window>(form);
}

IntPoint Win32Backend::ScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

Scale Win32Backend::ScreenScale() const {
    // For a per-monitor aware program, the system's dpi is the primary monitor's, where new windows open.
    return SystemScale();
}

FrameExtent Win32Backend::FrameOf(BorderStyle style, bool captionButtons, const Scale& scale) const {
    // Stay-on-top changes no frame.
    RECT rect = FrameRect(StylesOf(style, captionButtons, false), scale);
    return {-rect.left, -rect.top, rect.right, rect.bottom};
}

bool Win32Backend::DispatchPending() {
    bool any = false;
    MSG msg;
    while (!quit_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit_ = true;
            break;
        }
        Deliver(msg);
        any = true;
    }
    return any;
}

bool Win32Backend::DispatchNext() {
    if (quit_)
        return false;
    MSG msg;
    // 0 is WM_QUIT, -1 a broken queue: either way nothing will answer a window any more.
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        quit_ = true;
        return false;
    }
    Deliver(msg);
    return true;
}

void Win32Backend::WaitForInput(int milliseconds) {
    // MsgWaitForMultipleObjects wakes only for messages that came since the queue was last looked at: one
    // that is waiting already, seen or not, ends the wait here.
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
        return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0),
                              QS_ALLINPUT);
}

void* Win32Backend::WindowOf(const Form& form) {
    auto* window = dynamic_cast<Win32Window*>(form.Native());
    return window != nullptr ? window->Handle() : nullptr;
}

} // namespace vendora
