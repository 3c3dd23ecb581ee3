#pragma once
// The windows of the Linux program: the window back end (X11 when a display is named, the build has it and
// no script is given, else the headless one reading VENDORA_UI_SCRIPT and writing PNG snapshots to
// VENDORA_UI_SNAPSHOTS), the transcript in VENDORA_UI_TRANSCRIPT (standard error when unset in a headless
// run), and the message window that start-up creates.

#include "gui/Backend.h"
#include "startup/Startup.h"

#include <memory>

namespace vendora {

struct LinuxWindowBackend {
    std::unique_ptr<WindowBackend> Backend;
    bool OnDisplay = false; // windows a person sees, rather than headless ones
};

// Throws InputScriptError (an InputSourceError) for a script that cannot be read or holds a wrong line.
LinuxWindowBackend CreateLinuxWindowBackend();
// The message window, the waiting window and the progress window, for start-up to make once the back end
// is installed.
RunWindows CreateLinuxWindows(const LinuxWindowBackend& windows);

} // namespace vendora
