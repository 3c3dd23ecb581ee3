// The Win32 back end against real windows (under Wine on a private X server in the tests): styles and
// frames, bounds asked and followed, the pixels shown, keys, characters, the mouse and the close button
// coming back, modal windows disabling the others, the pumping and the wait of the modal loop, and the
// system's colour changes reaching the controls.
#include "gui/win32/Win32Backend.h"

#include "base/Cp1252.h"
#include "base/Errors.h"
#include "controls/ui/Gradient.h"
#include "gui/Control.h"
#include "gui/SpeedButton.h"
#include "tests/support/MemoryPlatform.h"
#include "tests/support/WindowTest.h"

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

// Last: the API's macros must not rename the framework's declarations above.
#include "platform/win32/WindowsApi.h"

namespace vendora::test {
namespace {

HWND WindowOf(const Form& form) {
    return static_cast<HWND>(Win32Backend::WindowOf(form));
}

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

RECT ClientRect(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return rect;
}

// The client area's pixels as the screen has them, read back through a 32-bit top-down DIB section (the
// same BGRX words as a Bitmap), or from what the window draws when asked to print its client area.
std::vector<std::uint32_t> ReadBack(HWND hwnd, int width, int height, bool print) {
    HDC windowDc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    if (print) {
        SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    } else {
        BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    }
    GdiFlush();
    const auto* words = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(words, words + static_cast<std::size_t>(width) * height);
    for (auto& word : pixels)
        word &= 0xFFFFFFu;
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(hwnd, windowDc);
    return pixels;
}

std::vector<std::uint32_t> SurfaceWords(const Bitmap& surface) {
    std::vector<std::uint32_t> words;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x)
            words.push_back(surface.Row(y)[x] & 0xFFFFFFu);
    }
    return words;
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// A key message as the keyboard makes it: repeat count 1 and the key's scan code.
LPARAM KeyData(int virtualKey) {
    return static_cast<LPARAM>(
        1 | (MapVirtualKeyA(static_cast<UINT>(virtualKey), 0 /* VK to scan code */) << 16));
}

std::string Hex(unsigned value) {
    static const char digits[] = "0123456789abcdef";
    return std::string{digits[(value >> 4) & 15], digits[value & 15]};
}

// A control that counts the settings changes it hears of.
class SettingsWatcher : public Control {
public:
    using Control::Control;
    int Changes = 0;
    void SettingsChanged() override { ++Changes; }
};

// A form designed 200 x 100 at 96 dpi, laid out at its scale.
class ScaledForm : public Form {
public:
    explicit ScaledForm(Application& app) : Form(app) { ScaleChanged(); }

protected:
    void ScaleChanged() override { SetClientSize(GetScale().Px(200), GetScale().Px(100)); }
};

class Win32BackendTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        win32_ = std::make_unique<Win32Backend>();
        win32Installed_.emplace(App(), *win32_);
        // The pointer goes to the screen's corner, away from the test's windows: a window that appears under
        // it gets mouse moves of its own.
        SetCursorPos(1023, 767);
        Drain();
    }
    // Dispatches what is waiting, up to the framework's paints.
    void Drain() {
        while (win32_->DispatchPending()) {
        }
        App().PaintAll();
    }
    // A form of fixed frame at (left, top) with that client size.
    void Place(Form& form, int left, int top, int width, int height) {
        form.SetBorderStyle(BorderStyle::Single);
        form.SetClientSize(width, height);
        form.SetLeft(left);
        form.SetTop(top);
    }
    // Its input, written down as text.
    void Record(Form& form) {
        form.OnKeyDown = [this](Form&, int& key) { events_.push_back("down " + std::to_string(key)); };
        form.OnKeyPress = [this](Form&, char& key) {
            events_.push_back("char " + Hex(static_cast<unsigned char>(key)));
        };
        form.OnMouseDown = [this](Form&, MouseButton b, int x, int y) {
            events_.push_back(Mouse("press", b, x, y));
        };
        form.OnMouseUp = [this](Form&, MouseButton b, int x, int y) {
            events_.push_back(Mouse("release", b, x, y));
        };
        form.OnMouseMove = [this](Form&, int x, int y) {
            events_.push_back("move " + std::to_string(x) + " " + std::to_string(y));
        };
        form.OnClose = [this](Form&, CloseAction&) { events_.push_back("close"); };
    }
    static std::string Mouse(const char* what, MouseButton b, int x, int y) {
        const char* name = b == MouseButton::Left ? "left" : (b == MouseButton::Right ? "right" : "middle");
        return std::string(what) + " " + name + " " + std::to_string(x) + " " + std::to_string(y);
    }

    std::unique_ptr<Win32Backend> win32_;
    std::optional<UsedBackend> win32Installed_;
    std::vector<std::string> events_;
};

TEST_F(Win32BackendTest, FramesAndStylesAreTheSystemsForEachBorder) {
    struct Case {
        BorderStyle Border;
        bool Buttons;
        DWORD Style;
        DWORD ExStyle;
    };
    const Case cases[] = {
        {BorderStyle::Single, true, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0},
        {BorderStyle::Single, false, WS_CAPTION, 0},
        {BorderStyle::Sizeable, true, WS_OVERLAPPEDWINDOW, 0},
        {BorderStyle::Sizeable, false, WS_CAPTION | WS_THICKFRAME, 0},
        {BorderStyle::Dialog, true, WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME},
        {BorderStyle::None, true, WS_POPUP, 0},
    };
    constexpr DWORD FrameBits =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Border) * 2 + (c.Buttons ? 1 : 0));
        RECT expected{0, 0, 0, 0};
        ASSERT_TRUE(AdjustWindowRectEx(&expected, c.Style, FALSE, c.ExStyle));
        FrameExtent frame = win32_->FrameOf(c.Border, c.Buttons);
        // For the record: this system's frames (the 96-dpi classic ones are 3/29/3/3 and 8/28/8/8).
        RecordProperty("frame" + std::to_string(static_cast<int>(c.Border)) + (c.Buttons ? "b" : ""),
                       std::to_string(frame.Left) + "," + std::to_string(frame.Top) + "," +
                           std::to_string(frame.Right) + "," + std::to_string(frame.Bottom));
        EXPECT_EQ(frame.Left, -expected.left);
        EXPECT_EQ(frame.Top, -expected.top);
        EXPECT_EQ(frame.Right, expected.right);
        EXPECT_EQ(frame.Bottom, expected.bottom);
        if (c.Border != BorderStyle::None) {
            EXPECT_GT(frame.Top, frame.Left); // the title bar
        }

        Form form(App());
        form.SetBorderStyle(c.Border);
        form.CaptionButtons = c.Buttons;
        form.StayOnTop = c.Border == BorderStyle::Single;
        form.SetClientSize(240, 120);
        form.SetLeft(40);
        form.SetTop(30);
        form.Show();
        HWND hwnd = WindowOf(form);
        ASSERT_NE(hwnd, nullptr);
        auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
        auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
        EXPECT_EQ(style & FrameBits, c.Style);
        EXPECT_EQ(exStyle & WS_EX_DLGMODALFRAME, c.ExStyle);
        EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, form.StayOnTop);
        // The client area sits inside the window where the frame says.
        RECT window = WindowRect(hwnd);
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        EXPECT_EQ(origin.x - window.left, frame.Left);
        EXPECT_EQ(origin.y - window.top, frame.Top);
        EXPECT_EQ(window.right - window.left, form.Width());
        EXPECT_EQ(window.bottom - window.top, form.Height());
    }
}

TEST_F(Win32BackendTest, AShownFormHasTheBoundsAskedAndFollowsTheSystemsChanges) {
    EXPECT_EQ(win32_->ScreenSize().X, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(win32_->ScreenSize().Y, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(win32_->ScreenSize().X, 1024);

    Form form(App());
    Place(form, 286, 125, 481, 300);
    form.SetCaption(Ansi("Installateur de Vendora.EXE © Morvanel é"));
    form.Show();
    HWND hwnd = WindowOf(form);
    RECT window = WindowRect(hwnd);
    EXPECT_EQ(window.left, 286);
    EXPECT_EQ(window.top, 125);
    EXPECT_EQ(window.right, 286 + form.Width());
    EXPECT_EQ(window.bottom, 125 + form.Height());
    RECT client = ClientRect(hwnd);
    EXPECT_EQ(client.right, 481);
    EXPECT_EQ(client.bottom, 300);
    // The caption's own letters, whatever the system's code page.
    wchar_t caption[128] = {};
    GetWindowTextW(hwnd, caption, 128);
    EXPECT_STREQ(caption, L"Installateur de Vendora.EXE \u00A9 Morvanel \u00E9");
    EXPECT_TRUE(IsWindowVisible(hwnd));

    // The framework moves and resizes it...
    form.SetTop(106);
    form.SetClientHeight(350);
    window = WindowRect(hwnd);
    EXPECT_EQ(window.top, 106);
    EXPECT_EQ(window.left, 286);
    EXPECT_EQ(ClientRect(hwnd).bottom, 350);
    form.SetCaption(Ansi("Mise à jour"));
    GetWindowTextW(hwnd, caption, 128);
    EXPECT_STREQ(caption, L"Mise \u00E0 jour");
    // ...and a window taller than the screen keeps the height asked.
    form.SetClientHeight(1000);
    EXPECT_EQ(ClientRect(hwnd).bottom, 1000);
    form.SetClientHeight(350);

    // The system (or the user) moves or resizes it: the form follows.
    SetWindowPos(hwnd, nullptr, 50, 60, form.Width() + 20, form.Height() + 10, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(form.Left(), 50);
    EXPECT_EQ(form.Top(), 60);
    EXPECT_EQ(form.ClientWidth(), 501);
    EXPECT_EQ(form.ClientHeight(), 360);

    form.Hide();
    EXPECT_FALSE(IsWindowVisible(hwnd));

    // Centred on the first showing, by the system's own frame and screen.
    Form centred(App());
    centred.SetBorderStyle(BorderStyle::Sizeable);
    centred.SetClientSize(502, 304);
    centred.Position = FormPosition::ScreenCenter;
    centred.Show();
    window = WindowRect(WindowOf(centred));
    EXPECT_EQ(window.left, (1024 - centred.Width()) / 2);
    EXPECT_EQ(window.top, (768 - centred.Height()) / 2);
    EXPECT_EQ(window.right - window.left, centred.Width());

    // Placed by the system: the form learns where.
    Form placed(App());
    placed.SetClientSize(300, 100);
    placed.Position = FormPosition::Default;
    placed.Show();
    window = WindowRect(WindowOf(placed));
    EXPECT_EQ(placed.Left(), window.left);
    EXPECT_EQ(placed.Top(), window.top);
    EXPECT_EQ(ClientRect(WindowOf(placed)).right, 300);
}

TEST_F(Win32BackendTest, AWindowMovedToAScreenOfAnotherDensityIsLaidOutAgainWhereWindowsSuggests) {
    ScaledForm form(App());
    Place(form, 40, 30, form.ClientWidth(), form.ClientHeight());
    form.Show();
    Drain();
    HWND hwnd = WindowOf(form);
    RECT suggested{100, 80, 500, 400};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    Drain();
    EXPECT_EQ(form.GetScale(), Scale(144));
    const RECT window = WindowRect(hwnd), client = ClientRect(hwnd);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 80);
    EXPECT_EQ(client.right, form.ClientWidth());
    EXPECT_EQ(client.bottom, form.ClientHeight());
    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(form.ClientHeight(), 150);
}

TEST_F(Win32BackendTest, TheWindowShowsTheFormsPixelsInTheirColours) {
    Form form(App());
    Place(form, 20, 20, 200, 100);
    int phase = 0;
    // Red left of x 100, blue right of it; every pixel also carries its own position, so that a row or a
    // column out of place shows.
    form.OnPaint = [&phase](Form& f) {
        for (int y = 0; y < f.ClientHeight(); ++y) {
            for (int x = 0; x < f.ClientWidth(); ++x) {
                int low = (x * 7 + y * 3 + phase) & 0x3F;
                TColor c = x < 100 ? TColor(0x0000C0u | static_cast<unsigned>(low) << 8)
                                   : TColor(0xC00000u | static_cast<unsigned>(low) << 8);
                f.Surface().SetPixel(x, y, c);
            }
        }
    };
    form.Show();
    Drain();
    HWND hwnd = WindowOf(form);
    HDC dc = GetDC(hwnd);
    COLORREF left = GetPixel(dc, 99, 50);
    COLORREF right = GetPixel(dc, 100, 50);
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(GetRValue(left), 0xC0);
    EXPECT_EQ(GetBValue(left), 0);
    EXPECT_EQ(GetRValue(right), 0);
    EXPECT_EQ(GetBValue(right), 0xC0);
    EXPECT_EQ(ReadBack(hwnd, 200, 100, false), SurfaceWords(form.Surface()));

    // The surface is painted again as a whole, but only the area invalidated is presented: the screen has
    // the new pixels there and the old ones elsewhere.
    std::vector<std::uint32_t> before = ReadBack(hwnd, 200, 100, false);
    phase = 17;
    const IntRect area{37, 41, 151, 77};
    form.Invalidate(area, false);
    App().PaintAll();
    std::vector<std::uint32_t> now = SurfaceWords(form.Surface());
    std::vector<std::uint32_t> expected = before;
    for (int y = area.Top; y < area.Bottom; ++y) {
        for (int x = area.Left; x < area.Right; ++x)
            expected[static_cast<std::size_t>(y * 200 + x)] = now[static_cast<std::size_t>(y * 200 + x)];
    }
    EXPECT_NE(expected, before);
    EXPECT_EQ(ReadBack(hwnd, 200, 100, false), expected);

    // Uncovered, the window shows its whole surface again.
    InvalidateRect(hwnd, nullptr, FALSE);
    Drain();
    EXPECT_EQ(ReadBack(hwnd, 200, 100, false), now);

    // The window draws the same pixels when asked to print itself.
    EXPECT_EQ(ReadBack(hwnd, 200, 100, true), SurfaceWords(form.Surface()));
}

TEST_F(Win32BackendTest, KeysCharactersMouseAndCloseReachTheForm) {
    Form form(App());
    Place(form, 30, 40, 300, 200);
    Record(form);
    auto* button = new SpeedButton(&form);
    button->SetParent(&form);
    button->SetBounds(150, 100, 135, 27);
    int clicks = 0;
    button->OnClick = [&clicks](Control&) { ++clicks; };
    form.Show();
    Drain();
    HWND hwnd = WindowOf(form);
    events_.clear();

    // One key at a time, as the keyboard sends them: each is translated into its character, which comes
    // next (Escape types character 27, the O key a small o).
    PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, KeyData(VK_ESCAPE));
    Drain();
    PostMessageA(hwnd, WM_KEYDOWN, 'O', KeyData('O'));
    Drain();
    // Characters come as UTF-16: "é" is Windows-1252's 0xE9, a Cyrillic letter types nothing.
    PostMessageW(hwnd, WM_CHAR, 0xE9, 1);
    PostMessageW(hwnd, WM_CHAR, 0x0439, 1);
    Drain();
    // Enter held with Alt is still Enter for the form (no character: the system takes Alt's).
    PostMessageA(hwnd, WM_SYSKEYDOWN, VK_RETURN, KeyData(VK_RETURN) | (1 << 29));
    Drain();
    EXPECT_EQ(events_,
              (std::vector<std::string>{"down 27", "char 1b", "down 79", "char 6f", "char e9", "down 13"}));
    events_.clear();

    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 20));
    PostMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, Point(-5, -7));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, Point(30, 40));
    PostMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, Point(1, 2));
    PostMessageA(hwnd, WM_RBUTTONUP, 0, Point(3, 4));
    PostMessageA(hwnd, WM_MBUTTONDOWN, MK_MBUTTON, Point(5, 6));
    PostMessageA(hwnd, WM_MBUTTONUP, 0, Point(7, 8));
    Drain();
    EXPECT_EQ(events_, (std::vector<std::string>{"press left 10 20", "move -5 -7", "release left 30 40",
                                                 "press right 1 2", "release right 3 4", "press middle 5 6",
                                                 "release middle 7 8"}));
    EXPECT_EQ(GetCapture(), nullptr); // the mouse is free again once no button is held
    events_.clear();

    // A click on the button: pressed and released over it.
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(160, 110));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, Point(170, 112));
    Drain();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(events_.empty());

    // The close button: OnClose, then the form hides.
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    Drain();
    EXPECT_EQ(events_, std::vector<std::string>{"close"});
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

// Keys typed on the keyboard, not posted: the window shown last has the keyboard.
TEST_F(Win32BackendTest, TheKeyboardTypesIntoTheWindowShown) {
    Form form(App());
    Place(form, 30, 40, 300, 200);
    Record(form);
    form.Show();
    Drain();
    EXPECT_EQ(GetForegroundWindow(), WindowOf(form));
    events_.clear();
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = 'O';
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
    Drain();
    EXPECT_EQ(events_, (std::vector<std::string>{"down 79", "char 6f"}));
}

TEST_F(Win32BackendTest, AModalFormDisablesTheOthersUntilItsAnswer) {
    Form other(App());
    Place(other, 10, 10, 200, 100);
    Record(other);
    other.Show();
    Form modal(App());
    Place(modal, 300, 200, 250, 120);
    Drain();
    HWND otherWindow = WindowOf(other);
    EXPECT_TRUE(IsWindowEnabled(otherWindow));

    bool otherEnabledMeanwhile = true;
    int modalKeys = 0;
    modal.OnActivate = [&](Form& f) {
        if (HWND hwnd = WindowOf(f)) {
            otherEnabledMeanwhile = IsWindowEnabled(otherWindow) != FALSE;
            // Posted input for the disabled window is not taken either.
            PostMessageA(otherWindow, WM_CHAR, 'a', 1);
            PostMessageA(otherWindow, WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5));
            PostMessageA(otherWindow, WM_LBUTTONUP, 0, Point(5, 5));
            PostMessageA(otherWindow, WM_CLOSE, 0, 0);
            PostMessageA(hwnd, WM_KEYDOWN, VK_RETURN, KeyData(VK_RETURN));
        }
    };
    modal.OnKeyDown = [&](Form& f, int& key) {
        ++modalKeys;
        if (key == VK_RETURN)
            f.SetModalResult(ModalResult::Ok);
    };
    EXPECT_EQ(modal.ShowModal(), ModalResult::Ok);
    EXPECT_FALSE(otherEnabledMeanwhile);
    EXPECT_EQ(modalKeys, 1);
    EXPECT_TRUE(IsWindowEnabled(otherWindow));
    EXPECT_FALSE(IsWindowVisible(WindowOf(modal)));
    Drain();
    EXPECT_TRUE(events_.empty());
    EXPECT_TRUE(other.Visible());
}

TEST_F(Win32BackendTest, PumpingNeverWaitsAndTakesEverythingWaiting) {
    Form form(App());
    Place(form, 30, 40, 100, 50);
    Record(form);
    form.Show();
    Drain();
    HWND hwnd = WindowOf(form);
    EXPECT_FALSE(win32_->DispatchPending()); // nothing waiting: back at once
    events_.clear();
    for (char c : std::string("abc"))
        PostMessageA(hwnd, WM_CHAR, static_cast<WPARAM>(c), 1);
    EXPECT_TRUE(win32_->DispatchPending());
    EXPECT_EQ(events_, (std::vector<std::string>{"char 61", "char 62", "char 63"}));
    EXPECT_FALSE(win32_->DispatchPending());

    // The modal loop waits for the next message and takes exactly one.
    PostMessageA(hwnd, WM_CHAR, 'x', 1);
    PostMessageA(hwnd, WM_CHAR, 'y', 1);
    EXPECT_TRUE(win32_->DispatchNext());
    EXPECT_EQ(events_.back(), "char 78");
    EXPECT_TRUE(win32_->DispatchNext());
    EXPECT_EQ(events_.back(), "char 79");
}

// The wait between two attempts of a loop: a message ends it, whenever it comes. The time given is long
// enough that only a message can end the wait before the test's own time limit.
TEST_F(Win32BackendTest, TheWaitForInputEndsWithAMessage) {
    constexpr int Long = 0x7FFFFFFF;
    Form form(App());
    Place(form, 30, 40, 100, 50);
    Record(form);
    form.Show();
    Drain();
    HWND hwnd = WindowOf(form);
    events_.clear();
    win32_->WaitForInput(0); // nothing waiting: the time passes (none here)

    // A message waiting already, even one the queue was looked at for, ends it at once; it is not taken.
    PostMessageA(hwnd, WM_CHAR, 'a', 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    win32_->WaitForInput(Long);
    EXPECT_TRUE(events_.empty());
    Drain();
    EXPECT_EQ(events_, std::vector<std::string>{"char 61"});

    // A message from another thread during the wait ends it.
    std::thread poster([hwnd] { PostMessageA(hwnd, WM_CHAR, 'b', 1); });
    win32_->WaitForInput(Long);
    poster.join();
    Drain();
    EXPECT_EQ(events_, (std::vector<std::string>{"char 61", "char 62"}));
}

TEST_F(Win32BackendTest, AQuitMessageEndsTheModalLoopsForGood) {
    Form modal(App());
    Place(modal, 100, 100, 200, 80);
    PostQuitMessage(0);
    EXPECT_EQ(modal.ShowModal(), ModalResult::Cancel);
    EXPECT_FALSE(win32_->DispatchNext());
    EXPECT_EQ(modal.ShowModal(), ModalResult::Cancel);
}

// Refuses every window's creation on the thread, as Windows does once the desktop's heap or the process's
// window handles run out.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Win32BackendTest, AWindowWindowsRefusesIsAnErrorNotAModalLoopWaitingForEver) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Form modal(App());
    Place(modal, 100, 100, 200, 80);
    modal.SetCaption(Ansi("Refusée"));
    try {
        modal.ShowModal();
        ADD_FAILURE() << "the modal loop ran without a window";
    } catch (const Exception& error) {
        EXPECT_EQ(
            error.Message().rfind(Ansi("La fenêtre « Refusée » ne peut pas être créée (erreur Windows "), 0),
            0u)
            << error.what();
    }
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(modal.Visible());
    // Once Windows creates windows again, the same form shows.
    PostQuitMessage(0);
    EXPECT_EQ(modal.ShowModal(), ModalResult::Cancel);
    EXPECT_NE(WindowOf(modal), nullptr);
}

class CountingGradient : public TGradient {
public:
    using TGradient::TGradient;
    int Updates = 0;
    void UpdateSysColors() override {
        ++Updates;
        TGradient::UpdateSysColors();
    }
};

TEST_F(Win32BackendTest, SystemColourAndSettingsChangesReachTheControls) {
    test::MemoryPlatform platform;
    platform.SysColors[SysColor::ActiveCaption] = TColor(0x123456);
    Form form(App());
    Place(form, 30, 40, 200, 100);
    auto* watcher = new SettingsWatcher(&form);
    watcher->SetParent(&form);
    auto* gradient = new CountingGradient(&form, platform);
    gradient->SetParent(&form);
    gradient->SetBounds(0, 0, 50, 50);
    gradient->SetUseSysColors(true);
    form.Show();
    Drain();
    HWND hwnd = WindowOf(form);
    int updates = gradient->Updates;

    platform.SysColors[SysColor::ActiveCaption] = TColor(0x654321);
    SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(watcher->Changes, 1);
    EXPECT_EQ(gradient->Updates, updates + 1);
    EXPECT_EQ(gradient->ColorBegin(), TColor(0x654321));
    EXPECT_TRUE(form.PaintPending());
    Drain();
    SendMessageA(hwnd, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(watcher->Changes, 2);
    EXPECT_EQ(gradient->Updates, updates + 2);
}

} // namespace
} // namespace vendora::test
