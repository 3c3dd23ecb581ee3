// The X11 back end against a real X server: the test's own Xvfb (or the DISPLAY it is given). Windows,
// their caption and hints, the pixels presented, and keys, the mouse and the close button coming back.
#include "gui/x11/X11Backend.h"
#include "base/Cp1252.h"
#include "gui/Control.h"
#include "gui/SpeedButton.h"
#include "tests/support/WindowTest.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vendora::test {
namespace {

// An X server for the whole program: DISPLAY when set, else an Xvfb of our own on a display it picks
// itself. Nothing here waits for a time: the server tells us its display number once it accepts
// connections (-displayfd), and it ends by itself when our last connection goes (-terminate), even if
// this program dies without its destructors.
class XServer {
public:
    static XServer& Get() {
        static XServer server;
        return server;
    }
    const std::string& Name() const { return name_; }
    bool Usable() const { return !name_.empty(); }
    // Why the Xvfb we started gave no display; empty when it did or when none is installed.
    const std::string& Failure() const { return failure_; }
    ~XServer() {
        if (keeper_ != nullptr)
            XCloseDisplay(keeper_);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    XServer() {
        // The tests drive the windows from a second thread through a connection of its own.
        XInitThreads();
        if (const char* display = std::getenv("DISPLAY"); display != nullptr && *display != '\0') {
            name_ = display;
            return;
        }
        if (std::filesystem::exists("/usr/bin/Xvfb"))
            Start();
    }

    void Start() {
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) {
            failure_ = "no pipe for Xvfb";
            return;
        }
        // The server's end of the pipe at a fixed number in the child, where dup2 also clears close-on-exec.
        const int childFd = ready[1] == 3 ? 4 : 3;
        const std::string fd = std::to_string(childFd);
        const char* argv[] = {"/usr/bin/Xvfb", "-displayfd", fd.c_str(), "-screen",    "0",
                              "800x600x24",    "-nolisten",  "tcp",      "-terminate", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ready[1], childFd);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        if (spawned != 0) {
            pid_ = 0;
            close(ready[0]);
            failure_ = "cannot start Xvfb";
            return;
        }
        const std::string number = ReadLine(ready[0]);
        close(ready[0]);
        if (number.empty()) {
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = 0;
            failure_ = "Xvfb ended without giving a display (status " + std::to_string(status) + ")";
            return;
        }
        const std::string display = ":" + number;
        keeper_ = XOpenDisplay(display.c_str());
        if (keeper_ == nullptr) {
            failure_ = "Xvfb gave display " + display + " but does not accept connections";
            return;
        }
        name_ = display;
    }

    // The digits the server writes before its newline; empty when it ends first.
    static std::string ReadLine(int fd) {
        std::string line;
        char c = 0;
        while (true) {
            const ssize_t got = read(fd, &c, 1);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                return {};
            }
            if (c == '\n')
                return line;
            line += c;
        }
    }

    pid_t pid_ = 0;
    Display* keeper_ = nullptr;
    std::string name_;
    std::string failure_;
};

// The X11 back end that also tells the test when a modal loop starts waiting for its input.
class ObservedX11Backend : public X11Backend {
public:
    using X11Backend::X11Backend;
    void ModalStarted(Form& form) override {
        X11Backend::ModalStarted(form);
        const std::lock_guard<std::mutex> lock(mutex_);
        ++modalLoops_;
        changed_.notify_all();
    }
    // Returns once the count-th modal loop of the test has started.
    void WaitForModalLoop(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return modalLoops_ >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int modalLoops_ = 0;
};

class X11BackendTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (!XServer::Get().Failure().empty()) {
            FAIL() << XServer::Get().Failure();
        }
        if (!XServer::Get().Usable()) {
            GTEST_SKIP() << "no X server";
        }
        x11_ = std::make_unique<ObservedX11Backend>(XServer::Get().Name());
        x11Installed_.emplace(App(), *x11_);
        probe_ = XOpenDisplay(XServer::Get().Name().c_str());
        ASSERT_NE(probe_, nullptr);
    }
    void TearDown() override {
        if (probe_ != nullptr)
            XCloseDisplay(probe_);
        WindowTest::TearDown();
    }
    Display* Own() const { return static_cast<Display*>(x11_->NativeDisplay()); }
    Window Shown(Form& form) {
        form.Show();
        App().PaintAll();
        Window w = x11_->WindowOf(form);
        // A window manager may map it later than asked: its events are handled until it is.
        XWindowAttributes attributes{};
        while (XGetWindowAttributes(Own(), w, &attributes) != 0 && attributes.map_state != IsViewable)
            App().HandleMessage();
        // The exposure that came with the mapping is repainted, and the server has drawn it.
        App().ProcessMessages();
        XSync(Own(), False);
        return w;
    }
    // Sends an event to the window as another client would; the server has queued it on return.
    void Send(Window w, XEvent event, long mask) {
        event.xany.window = w;
        XSendEvent(probe_, w, False, mask, &event);
        XSync(probe_, False);
    }
    XEvent Key(Window w, KeySym sym) {
        XEvent e{};
        e.xkey.type = KeyPress;
        e.xkey.display = probe_;
        e.xkey.window = w;
        e.xkey.root = DefaultRootWindow(probe_);
        e.xkey.keycode = XKeysymToKeycode(probe_, sym);
        e.xkey.same_screen = True;
        return e;
    }
    XEvent Button(Window w, int type, int x, int y) {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.display = probe_;
        e.xbutton.window = w;
        e.xbutton.button = 1;
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.same_screen = True;
        return e;
    }

    std::unique_ptr<ObservedX11Backend> x11_;
    std::optional<UsedBackend> x11Installed_;
    Display* probe_ = nullptr;
};

TEST_F(X11BackendTest, AFormBecomesAWindowWithItsCaptionHintsAndPixels) {
    Form form(App());
    form.SetBorderStyle(BorderStyle::Single);
    form.SetClientSize(200, 100);
    form.SetColor(clRed);
    form.StayOnTop = true;
    form.SetCaption(Ansi("Déconcaténation"));
    Window w = Shown(form);
    ASSERT_NE(w, 0u);
    EXPECT_EQ(x11_->ScreenSize(), (IntPoint{800, 600}));

    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(probe_, w, XInternAtom(probe_, "_NET_WM_NAME", False), 0, 100, False, AnyPropertyType,
                       &type, &format, &count, &after, &data);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), count), "Déconcaténation");
    XFree(data);
    XGetWindowProperty(probe_, w, XInternAtom(probe_, "_NET_WM_STATE", False), 0, 10, False, XA_ATOM, &type,
                       &format, &count, &after, &data);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(reinterpret_cast<Atom*>(data)[0], XInternAtom(probe_, "_NET_WM_STATE_ABOVE", False));
    XFree(data);
    XSizeHints hints{};
    long supplied = 0;
    XGetWMNormalHints(probe_, w, &hints, &supplied);
    EXPECT_EQ(hints.min_width, 200);
    EXPECT_EQ(hints.max_height, 100);

    XImage* image = XGetImage(probe_, w, 10, 10, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFF, 0xFF0000u); // red, as the server stores it
    XDestroyImage(image);

    form.Hide();
    XWindowAttributes attributes{};
    XSync(Own(), False);
    XGetWindowAttributes(probe_, w, &attributes);
    EXPECT_EQ(attributes.map_state, IsUnmapped);
}

TEST_F(X11BackendTest, KeysCharactersClicksAndTheCloseButtonReachTheForm) {
    Form form(App());
    form.SetClientSize(300, 100);
    auto* button = new SpeedButton(&form);
    button->SetParent(&form);
    button->SetBounds(20, 20, 135, 27);
    int clicks = 0;
    button->OnClick = [&](Control&) { ++clicks; };
    std::vector<int> keys;
    std::string chars;
    form.OnKeyDown = [&](Form&, int& key) { keys.push_back(key); };
    form.OnKeyPress = [&](Form& f, char& key) {
        chars += key;
        if (key == 'o')
            f.SetModalResult(ModalResult::Ok);
    };
    Window w = Shown(form);
    form.Hide();

    // The modal loop waits for the server's events: a click, a key with its character.
    std::thread user([&] {
        x11_->WaitForModalLoop(1);
        Send(w, Button(w, ButtonPress, 30, 30), ButtonPressMask);
        Send(w, Button(w, ButtonRelease, 30, 30), ButtonReleaseMask);
        Send(w, Key(w, XK_Return), KeyPressMask);
        Send(w, Key(w, XK_o), KeyPressMask);
    });
    EXPECT_EQ(form.ShowModal(), ModalResult::Ok);
    user.join();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(keys, (std::vector<int>{VirtualKey::Return, 'O'}));
    EXPECT_EQ(chars, "\ro");

    std::thread closer([&] {
        x11_->WaitForModalLoop(2);
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.message_type = XInternAtom(probe_, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(probe_, "WM_DELETE_WINDOW", False));
        Send(w, e, NoEventMask);
    });
    EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);
    closer.join();
}

TEST(X11KeysymTest, WindowsCharactersBeyondLatin1ComeFromTheKeysym) {
    EXPECT_EQ(AnsiCharacterOfKeysym(XK_EuroSign), static_cast<char>(0x80));
    EXPECT_EQ(AnsiCharacterOfKeysym(XK_oe), static_cast<char>(0x9C));
    EXPECT_EQ(AnsiCharacterOfKeysym(XK_OE), static_cast<char>(0x8C));
    EXPECT_EQ(AnsiCharacterOfKeysym(0x01002026), static_cast<char>(0x85)); // the ellipsis as a Unicode keysym
    EXPECT_EQ(AnsiCharacterOfKeysym(0x01000416), 0);                       // a Cyrillic letter
    EXPECT_EQ(AnsiCharacterOfKeysym(XK_Shift_L), 0);
}

TEST_F(X11BackendTest, AWindowDisabledByAModalOneTakesNoInput) {
    Form back(App());
    back.SetClientSize(100, 100);
    std::string typed;
    back.OnKeyPress = [&](Form&, char& key) { typed += key; };
    Window behind = Shown(back);
    Form modal(App());
    modal.SetClientSize(100, 100);
    modal.OnKeyPress = [&](Form& f, char&) { f.SetModalResult(ModalResult::Ok); };
    Window front = Shown(modal);
    modal.Hide();
    std::thread user([&] {
        x11_->WaitForModalLoop(1);
        Send(behind, Key(behind, XK_a), KeyPressMask);
        Send(front, Key(front, XK_b), KeyPressMask);
    });
    EXPECT_EQ(modal.ShowModal(), ModalResult::Ok);
    user.join();
    App().ProcessMessages();
    EXPECT_EQ(typed, "");
    EXPECT_TRUE(back.Enabled());
}

// The screen's density is the server's Xft.dpi, as desktops set it; 96 dpi without one.
TEST_F(X11BackendTest, TheScreensDensityIsTheServersXftDpi) {
    const Window root = DefaultRootWindow(probe_);
    const Atom resources = XInternAtom(probe_, "RESOURCE_MANAGER", False);
    XDeleteProperty(probe_, root, resources);
    XSync(probe_, False);
    EXPECT_EQ(X11Backend(XServer::Get().Name()).ScreenScale(), Scale());
    const std::string text = "Xft.antialias:\t1\nXft.dpi:\t144.0\n";
    XChangeProperty(probe_, root, resources, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    XSync(probe_, False);
    EXPECT_EQ(X11Backend(XServer::Get().Name()).ScreenScale(), Scale(144));
    XDeleteProperty(probe_, root, resources);
    XSync(probe_, False);
}

} // namespace
} // namespace vendora::test
