#pragma once
// The X server a scenario runs on, as a person sees and uses it: top-level windows found by title, their
// pictures read with XGetImage, keys and clicks sent through XTest, the close request a window manager
// sends. One connection serves the whole test program (opened at the first use, kept to the end), so that
// the server never sees its last client leave while a program under test starts.

#include "gfx/Bitmap.h"

#include <chrono>
#include <string>
#include <vector>

namespace vendora::e2e {

using WindowId = unsigned long;

struct ScreenWindow {
    WindowId Id = 0;
    std::string Title; // UTF-8
    bool Visible = false;
    int Width = 0, Height = 0;
};

class XScreen {
public:
    // The screen of DISPLAY; raises when there is none.
    static XScreen& Get();

    // Every top-level window with a title, visible or not.
    std::vector<ScreenWindow> Windows();
    // The first visible window whose title starts with prefix; Id 0 when there is none.
    ScreenWindow FindVisible(const std::string& prefix);
    ScreenWindow Describe(WindowId window);
    bool Exists(WindowId window);

    // The client area as it is now.
    Bitmap Read(WindowId window);
    // Its picture once painted: read again until two readings 0.1 s apart are the same and hold more than
    // one colour; with live (a window that keeps changing), the first reading of more than one colour.
    // Raises after timeout.
    Bitmap Painted(WindowId window, bool live = false,
                   std::chrono::seconds timeout = std::chrono::seconds(30));
    Bitmap Whole();

    // A key by its X keysym name ("Return", "Escape", "n"), given the keyboard focus first.
    void Key(WindowId window, const std::string& name);
    // A left click at a point of the client area.
    void Click(WindowId window, int x, int y);
    // The close request of a window manager's close button (WM_DELETE_WINDOW); false when the window does
    // not take it.
    bool Close(WindowId window);

    // The windows and their state, and where a picture of the whole screen went: for a failure's message.
    std::string Said(const std::string& picture);

private:
    XScreen();
    struct Connection;
    Connection* x_;
};

} // namespace vendora::e2e
