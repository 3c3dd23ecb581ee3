#include "gui/x11/X11Backend.h"

#include "base/Cp1252.h"
#include "gui/Application.h"
#include "gui/Form.h"

namespace vendora {
namespace {
// Xlib's headers define KeyPress as a macro: the form's handler is reached from here, before them.
void TypeCharacter(Form& form, char c) {
    form.KeyPress(c);
}
} // namespace
} // namespace vendora

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <vector>

namespace vendora {

struct X11Backend::Impl {
    Display* display = nullptr;
    Atom wmProtocols = 0;
    Atom wmDelete = 0;
    Atom netWmName = 0;
    Atom netWmState = 0;
    Atom netWmStateAbove = 0;
    Atom utf8String = 0;
    std::map<Window, Form*> forms;
    // Characters that keys typed, delivered as the next message to the form that got the key.
    std::deque<std::pair<Form*, char>> typed;

    bool Handle(XEvent& event);
    void HandleKey(Form& form, XKeyEvent& key);
};

namespace {

// Xft.dpi as the server's resource database holds it (desktops write "144" or "144.0" there); 96 dpi when
// it is missing or no number.
Scale ServerScale(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr)
        return {};
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr)
        return {};
    Scale scale;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) == True && value.addr != nullptr) {
        char* end = nullptr;
        const double dpi = std::strtod(value.addr, &end);
        if (end != value.addr && dpi > 0)
            scale = Scale(static_cast<int>(std::lround(dpi)));
    }
    XrmDestroyDatabase(database);
    return scale;
}

int VirtualKeyOf(KeySym sym) {
    if (sym == XK_Return || sym == XK_KP_Enter)
        return VirtualKey::Return;
    if (sym == XK_Escape)
        return VirtualKey::Escape;
    if (sym == XK_Tab || sym == XK_ISO_Left_Tab)
        return VirtualKey::Tab;
    if (sym == XK_Left)
        return VirtualKey::Left;
    if (sym == XK_Up)
        return VirtualKey::Up;
    if (sym == XK_Right)
        return VirtualKey::Right;
    if (sym == XK_Down)
        return VirtualKey::Down;
    if (sym == XK_BackSpace)
        return VirtualKey::Back;
    if (sym == XK_space)
        return VirtualKey::Space;
    if (sym >= XK_a && sym <= XK_z)
        return static_cast<int>(sym - XK_a) + 'A';
    if ((sym >= XK_A && sym <= XK_Z) || (sym >= XK_0 && sym <= XK_9))
        return static_cast<int>(sym);
    if (sym >= XK_F1 && sym <= XK_F24)
        return 0x70 + static_cast<int>(sym - XK_F1);
    return 0;
}

std::string Utf8Of(unsigned long cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

} // namespace

class X11Window : public NativeWindow {
public:
    X11Window(X11Backend::Impl& x, Form& form) : x_(x), form_(form) {}
    ~X11Window() override {
        if (window_ != 0) {
            x_.forms.erase(window_);
            XDestroyWindow(x_.display, window_);
            XFlush(x_.display);
        }
        std::erase_if(x_.typed, [&](auto& t) { return t.first == &form_; });
    }

    void Show() override {
        Create();
        XMapRaised(x_.display, window_);
        XFlush(x_.display);
    }
    void Hide() override {
        if (window_ != 0) {
            XUnmapWindow(x_.display, window_);
            XFlush(x_.display);
        }
    }
    void GeometryChanged() override {
        if (window_ == 0)
            return;
        SetSizeHints();
        XResizeWindow(x_.display, window_, ClientWidth(), ClientHeight());
        if (form_.Position != FormPosition::Default)
            XMoveWindow(x_.display, window_, form_.Left(), form_.Top());
        XFlush(x_.display);
    }
    void CaptionChanged() override {
        if (window_ != 0) {
            SetCaption();
            XFlush(x_.display);
        }
    }
    void Present(const IntRect& area) override {
        IntRect r = area.Intersected(form_.ClientRect());
        if (window_ == 0 || r.IsEmpty())
            return;
        const Bitmap& surface = form_.Surface();
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(r.Width()) *
                                          static_cast<std::size_t>(r.Height()));
        for (int y = r.Top; y < r.Bottom; ++y) {
            const std::uint32_t* row = surface.Row(y);
            // The surface's words are TrueColor X pixels already.
            std::copy(row + r.Left, row + r.Right,
                      pixels.begin() + static_cast<std::ptrdiff_t>((y - r.Top) * r.Width()));
        }
        int screen = DefaultScreen(x_.display);
        XImage* image = XCreateImage(x_.display, DefaultVisual(x_.display, screen), 24, ZPixmap, 0,
                                     reinterpret_cast<char*>(pixels.data()), static_cast<unsigned>(r.Width()),
                                     static_cast<unsigned>(r.Height()), 32, 0);
        if (image == nullptr)
            return;
        XPutImage(x_.display, window_, DefaultGC(x_.display, screen), image, 0, 0, r.Left, r.Top,
                  static_cast<unsigned>(r.Width()), static_cast<unsigned>(r.Height()));
        image->data = nullptr; // the pixels belong to the vector
        XDestroyImage(image);
        XFlush(x_.display);
    }
    void SetEnabled(bool) override {}

    Window Id() const { return window_; }

private:
    unsigned ClientWidth() const { return static_cast<unsigned>(std::max(form_.ClientWidth(), 1)); }
    unsigned ClientHeight() const { return static_cast<unsigned>(std::max(form_.ClientHeight(), 1)); }

    void Create() {
        if (window_ != 0)
            return;
        int screen = DefaultScreen(x_.display);
        window_ = XCreateSimpleWindow(x_.display, RootWindow(x_.display, screen), form_.Left(), form_.Top(),
                                      ClientWidth(), ClientHeight(), 0, BlackPixel(x_.display, screen),
                                      WhitePixel(x_.display, screen));
        x_.forms[window_] = &form_;
        XSelectInput(x_.display, window_,
                     ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                         StructureNotifyMask);
        XSetWMProtocols(x_.display, window_, &x_.wmDelete, 1);
        SetCaption();
        SetSizeHints();
        if (form_.StayOnTop) {
            XChangeProperty(x_.display, window_, x_.netWmState, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&x_.netWmStateAbove), 1);
        }
    }

    void SetCaption() {
        std::string utf8 = AnsiToUtf8(form_.Caption());
        XChangeProperty(x_.display, window_, x_.netWmName, x_.utf8String, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
        // The Latin-1 name for window managers that read only WM_NAME.
        std::string latin1;
        for (char c : form_.Caption()) {
            auto code = static_cast<unsigned char>(c);
            latin1 += (code >= 0x80 && code < 0xA0) ? '?' : c;
        }
        XStoreName(x_.display, window_, latin1.c_str());
    }

    void SetSizeHints() {
        XSizeHints hints{};
        if (form_.Position != FormPosition::Default) {
            hints.flags |= USPosition | PPosition;
            hints.x = form_.Left();
            hints.y = form_.Top();
        }
        if (form_.GetBorderStyle() != BorderStyle::Sizeable) {
            hints.flags |= PMinSize | PMaxSize;
            hints.min_width = hints.max_width = static_cast<int>(ClientWidth());
            hints.min_height = hints.max_height = static_cast<int>(ClientHeight());
        }
        XSetWMNormalHints(x_.display, window_, &hints);
    }

    X11Backend::Impl& x_;
    Form& form_;
    Window window_ = 0;
};

X11Backend::X11Backend(const std::string& displayName) : impl_(std::make_unique<Impl>()) {
    impl_->display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (impl_->display == nullptr)
        throw std::runtime_error("cannot open the X display " + displayName);
    Display* d = impl_->display;
    impl_->wmProtocols = XInternAtom(d, "WM_PROTOCOLS", False);
    impl_->wmDelete = XInternAtom(d, "WM_DELETE_WINDOW", False);
    impl_->netWmName = XInternAtom(d, "_NET_WM_NAME", False);
    impl_->netWmState = XInternAtom(d, "_NET_WM_STATE", False);
    impl_->netWmStateAbove = XInternAtom(d, "_NET_WM_STATE_ABOVE", False);
    impl_->utf8String = XInternAtom(d, "UTF8_STRING", False);
    scale_ = ServerScale(d);
}

// The forms' windows went when the back end was replaced (Application::SetBackend).
X11Backend::~X11Backend() {
    XCloseDisplay(impl_->display);
}

std::unique_ptr<NativeWindow> X11Backend::CreateNativeWindow(Form& form) {
    return std::make_unique<X11Window>(*impl_, form);
}

IntPoint X11Backend::ScreenSize() {
    int screen = DefaultScreen(impl_->display);
    return {DisplayWidth(impl_->display, screen), DisplayHeight(impl_->display, screen)};
}

void* X11Backend::NativeDisplay() const {
    return impl_->display;
}

unsigned long X11Backend::WindowOf(const Form& form) const {
    for (const auto& [window, f] : impl_->forms) {
        if (f == &form)
            return window;
    }
    return 0;
}

char AnsiCharacterOfKeysym(unsigned long keysym) {
    unsigned long cp = 0;
    if (keysym >= 0x01000100 && keysym <= 0x0110FFFF) {
        cp = keysym - 0x01000000;
    } else if (keysym == XK_EuroSign) {
        cp = 0x20AC;
    } else if (keysym == XK_OE) {
        cp = 0x152;
    } else if (keysym == XK_oe) {
        cp = 0x153;
    } else if (keysym == XK_Ydiaeresis) {
        cp = 0x178;
    } else {
        return 0;
    }
    std::string utf8 = Utf8Of(cp);
    AnsiString ansi = IsAnsiRepresentable(utf8) ? Utf8ToAnsi(utf8) : AnsiString();
    return ansi.size() == 1 ? ansi[0] : 0;
}

void X11Backend::Impl::HandleKey(Form& form, XKeyEvent& key) {
    // The form may be gone once it has handled the key; its application stays.
    const Application& app = form.GetApplication();
    char buffer[8] = {};
    KeySym sym = 0;
    int count = XLookupString(&key, buffer, sizeof buffer, &sym, nullptr);
    int virtualKey = VirtualKeyOf(sym);
    // A key the form uses as a dialog does (Tab, the arrows, Space and Enter on the focused button) types
    // nothing.
    if (virtualKey != 0 && form.DialogKey(virtualKey, (key.state & ShiftMask) != 0))
        return;
    if (virtualKey != 0) {
        form.KeyDown(virtualKey);
    }
    // XLookupString gives Latin-1, which Windows-1252 extends (its C1 controls are no typed characters);
    // the few Windows-1252 letters beyond Latin-1 come from the keysym.
    char typedChar = 0;
    auto code = static_cast<unsigned char>(buffer[0]);
    if (count == 1 && !(code >= 0x80 && code < 0xA0)) {
        typedChar = buffer[0];
    } else if (count == 0) {
        typedChar = AnsiCharacterOfKeysym(sym);
    }
    if (typedChar != 0 && app.HasForm(&form))
        typed.emplace_back(&form, typedChar);
}

bool X11Backend::Impl::Handle(XEvent& event) {
    auto found = forms.find(event.xany.window);
    if (found == forms.end())
        return false;
    Form& form = *found->second;
    if (event.type == Expose) {
        form.Invalidate(
            IntRect::FromSize(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height),
            false);
        return true;
    }
    if (event.type == ConfigureNotify) {
        if (form.GetBorderStyle() == BorderStyle::Sizeable &&
            (event.xconfigure.width != form.ClientWidth() ||
             event.xconfigure.height != form.ClientHeight())) {
            form.SetClientSize(event.xconfigure.width, event.xconfigure.height);
        }
        return true;
    }
    // A disabled window (behind a modal one) takes no input.
    if (!form.Enabled())
        return true;
    switch (event.type) {
    case KeyPress:
        HandleKey(form, event.xkey);
        break;
    case ButtonPress:
    case ButtonRelease: {
        unsigned b = event.xbutton.button;
        if (b > 3) {
            break; // the wheel
        }
        MouseButton button = b == 1 ? MouseButton::Left : (b == 3 ? MouseButton::Right : MouseButton::Middle);
        if (event.type == ButtonPress) {
            form.MouseDown(button, event.xbutton.x, event.xbutton.y);
        } else {
            form.MouseUp(button, event.xbutton.x, event.xbutton.y);
        }
        break;
    }
    case MotionNotify:
        form.MouseMove(event.xmotion.x, event.xmotion.y);
        break;
    case ClientMessage:
        if (event.xclient.message_type == wmProtocols &&
            static_cast<Atom>(event.xclient.data.l[0]) == wmDelete) {
            form.CloseRequest();
        }
        break;
    default:
        break;
    }
    return true;
}

bool X11Backend::DispatchPending() {
    bool any = false;
    // Characters typed first: they were the next messages.
    while (!impl_->typed.empty()) {
        auto [form, c] = impl_->typed.front();
        impl_->typed.pop_front();
        if (GetApplication().HasForm(form)) {
            TypeCharacter(*form, c);
            any = true;
        }
    }
    while (XPending(impl_->display) > 0) {
        XEvent event;
        XNextEvent(impl_->display, &event);
        any = impl_->Handle(event) || any;
        GetApplication().PaintAll();
        while (!impl_->typed.empty()) {
            auto [form, c] = impl_->typed.front();
            impl_->typed.pop_front();
            if (GetApplication().HasForm(form))
                TypeCharacter(*form, c);
        }
    }
    return any;
}

void X11Backend::WaitForInput(int milliseconds) {
    if (!impl_->typed.empty() || XPending(impl_->display) > 0)
        return;
    XFlush(impl_->display);
    pollfd connection{ConnectionNumber(impl_->display), POLLIN, 0};
    while (::poll(&connection, 1, milliseconds) < 0 && errno == EINTR) {
    }
}

bool X11Backend::DispatchNext() {
    if (!impl_->typed.empty()) {
        auto [form, c] = impl_->typed.front();
        impl_->typed.pop_front();
        if (GetApplication().HasForm(form))
            TypeCharacter(*form, c);
        return true;
    }
    XFlush(impl_->display);
    XEvent event;
    XNextEvent(impl_->display, &event);
    impl_->Handle(event);
    return true;
}

} // namespace vendora
