#include "tests/e2e/XScreen.h"

#include "gfx/png/Png.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <stdexcept>
#include <thread>

namespace vendora::e2e {

namespace {

// The last error the server reported: a window that went away between two requests is an answer, not a
// reason to end the test program (Xlib's own handler exits).
int lastError = 0;
int KeepError(Display*, XErrorEvent* error) {
    lastError = error->error_code;
    return 0;
}

} // namespace

struct XScreen::Connection {
    ::Display* Server = nullptr;
    WindowId Root = 0;
    Atom NetWmName = 0, WmProtocols = 0, WmDelete = 0;

    // Runs a request and tells whether the server took it.
    template <class Request> bool Try(Request request) {
        XSync(Server, False);
        lastError = 0;
        request();
        XSync(Server, False);
        return lastError == 0;
    }

    std::string Title(WindowId window) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::string title;
        for (Atom name : {NetWmName, Atom{XA_WM_NAME}}) {
            if (XGetWindowProperty(Server, window, name, 0, 1024, False, AnyPropertyType, &type, &format,
                                   &count, &after, &data) == Success &&
                data != nullptr) {
                title.assign(reinterpret_cast<const char*>(data), count);
                XFree(data);
                data = nullptr;
                if (!title.empty())
                    break;
            }
        }
        return title;
    }
};

XScreen& XScreen::Get() {
    static XScreen screen;
    return screen;
}

XScreen::XScreen() : x_(new Connection) {
    x_->Server = XOpenDisplay(nullptr);
    if (x_->Server == nullptr)
        throw std::runtime_error("no X display (run the scenarios through scripts/with-xvfb)");
    XSetErrorHandler(KeepError);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(x_->Server, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTest extension");
    x_->Root = DefaultRootWindow(x_->Server);
    x_->NetWmName = XInternAtom(x_->Server, "_NET_WM_NAME", False);
    x_->WmProtocols = XInternAtom(x_->Server, "WM_PROTOCOLS", False);
    x_->WmDelete = XInternAtom(x_->Server, "WM_DELETE_WINDOW", False);
}

ScreenWindow XScreen::Describe(WindowId window) {
    ScreenWindow found{window, x_->Title(window)};
    XWindowAttributes attributes{};
    if (x_->Try([&] { XGetWindowAttributes(x_->Server, window, &attributes); })) {
        found.Visible = attributes.map_state == IsViewable;
        found.Width = attributes.width;
        found.Height = attributes.height;
    }
    return found;
}

bool XScreen::Exists(WindowId window) {
    XWindowAttributes attributes{};
    return x_->Try([&] { XGetWindowAttributes(x_->Server, window, &attributes); });
}

std::vector<ScreenWindow> XScreen::Windows() {
    // Without a window manager every program's top-level windows are children of the root.
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<ScreenWindow> windows;
    if (!XQueryTree(x_->Server, x_->Root, &root, &parent, &children, &count))
        return windows;
    for (unsigned i = 0; i < count; ++i) {
        ScreenWindow window = Describe(children[i]);
        if (!window.Title.empty())
            windows.push_back(window);
    }
    if (children != nullptr)
        XFree(children);
    return windows;
}

ScreenWindow XScreen::FindVisible(const std::string& prefix) {
    for (const ScreenWindow& window : Windows())
        if (window.Visible && window.Title.rfind(prefix, 0) == 0)
            return window;
    return {};
}

Bitmap XScreen::Read(WindowId window) {
    const ScreenWindow shown = Describe(window);
    XImage* image = nullptr;
    if (shown.Width <= 0 || !x_->Try([&] {
            image = XGetImage(x_->Server, window, 0, 0, static_cast<unsigned>(shown.Width),
                              static_cast<unsigned>(shown.Height), AllPlanes, ZPixmap);
        }) ||
        image == nullptr) {
        throw std::runtime_error("the window \"" + shown.Title + "\" cannot be read (is it shown?)");
    }
    Bitmap picture(shown.Width, shown.Height);
    for (int y = 0; y < shown.Height; ++y) {
        std::uint32_t* row = picture.Row(y);
        // A TrueColor pixel of the 24-bit screen is the bitmap's own word.
        for (int x = 0; x < shown.Width; ++x)
            row[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    }
    XDestroyImage(image);
    return picture;
}

Bitmap XScreen::Whole() {
    return Read(x_->Root);
}

namespace {

bool SeveralColours(const Bitmap& picture) {
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.Row(y)[x] != picture.Row(0)[0])
                return true;
    return false;
}

} // namespace

Bitmap XScreen::Painted(WindowId window, bool live, std::chrono::seconds timeout) {
    // A window is shown before it paints.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Bitmap previous = Read(window);
    for (;;) {
        if (!live)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Bitmap reading = Read(window);
        if ((live || reading == previous) && SeveralColours(reading))
            return reading;
        if (std::chrono::steady_clock::now() >= deadline)
            throw std::runtime_error("the window \"" + Describe(window).Title +
                                     "\" did not settle into a picture");
        previous = std::move(reading);
    }
}

void XScreen::Key(WindowId window, const std::string& name) {
    const KeySym symbol = XStringToKeysym(name.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(x_->Server, symbol);
    if (code == 0)
        throw std::logic_error("no key " + name);
    // The focus first, as a person's click on the window gives it, and only then the key.
    if (!x_->Try([&] { XSetInputFocus(x_->Server, window, RevertToParent, CurrentTime); }))
        throw std::runtime_error("the window \"" + Describe(window).Title + "\" cannot take the keyboard");
    Window focus = 0;
    int revert = 0;
    for (int tries = 0; tries < 500; ++tries) {
        XGetInputFocus(x_->Server, &focus, &revert);
        if (focus == window)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XTestFakeKeyEvent(x_->Server, code, True, CurrentTime);
    XTestFakeKeyEvent(x_->Server, code, False, CurrentTime);
    XSync(x_->Server, False);
}

void XScreen::Click(WindowId window, int x, int y) {
    int rootX = 0, rootY = 0;
    Window child = 0;
    if (!XTranslateCoordinates(x_->Server, window, x_->Root, x, y, &rootX, &rootY, &child))
        throw std::runtime_error("the window \"" + Describe(window).Title + "\" is not on the screen");
    XTestFakeMotionEvent(x_->Server, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(x_->Server, 1, True, CurrentTime);
    XSync(x_->Server, False);
    // A person's button stays down a moment; a program may look at the press before the release comes.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    XTestFakeButtonEvent(x_->Server, 1, False, CurrentTime);
    XSync(x_->Server, False);
}

bool XScreen::Close(WindowId window) {
    // Like a window manager, only to a window that announces the protocol.
    Atom* protocols = nullptr;
    int count = 0;
    bool takes = false;
    if (XGetWMProtocols(x_->Server, window, &protocols, &count)) {
        for (int i = 0; i < count; ++i)
            takes = takes || protocols[i] == x_->WmDelete;
        XFree(protocols);
    }
    if (!takes)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x_->WmProtocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(x_->WmDelete);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x_->Server, window, False, NoEventMask, &event);
    XSync(x_->Server, False);
    return true;
}

std::string XScreen::Said(const std::string& picture) {
    std::string said = "the screen holds:";
    for (const ScreenWindow& window : Windows()) {
        char id[32];
        std::snprintf(id, sizeof id, " 0x%lx", window.Id);
        said += id + (" \"" + window.Title + "\" ") + (window.Visible ? "shown;" : "hidden;");
    }
    try {
        SavePng(Whole(), picture);
        said += " picture " + picture;
    } catch (const std::exception& error) {
        said += std::string(" (no picture: ") + error.what() + ")";
    }
    return said;
}

} // namespace vendora::e2e
