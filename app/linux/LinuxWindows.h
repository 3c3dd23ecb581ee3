#pragma once
// The windows of the Linux program: the window back end (X11 when a display is named, the build has it and
// no script is given, else the headless one reading VENDORA_UI_SCRIPT and writing PNG snapshots to
// VENDORA_UI_SNAPSHOTS), the transcript in VENDORA_UI_TRANSCRIPT (standard error when unset in a headless
// run), and the message window that start-up creates.

#include "gui/Application.h"
#include "gui/Backend.h"
#include "html/HtmlHost.h"
#include "platform/Platform.h"
#include "startup/Startup.h"

#include <memory>

namespace vendora {

struct LinuxWindowBackend {
    std::unique_ptr<WindowBackend> Backend;
    bool OnDisplay = false; // windows a person sees, rather than headless ones
};

// Throws InputScriptError (an InputSourceError) for a script that cannot be read or holds a wrong line.
LinuxWindowBackend CreateLinuxWindowBackend();
// The message window, the waiting window and the progress window of app, for start-up to make once app
// has its back end; messages are rendered with host, progress is timed by the platform's clock.
RunWindows CreateLinuxWindows(const LinuxWindowBackend& windows, Application& app, const HtmlHost& host,
                              Platform& platform);

} // namespace vendora
