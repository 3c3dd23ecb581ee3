#pragma once
// The windows of the Linux program: the FreeType text engine, the window back end (X11 when a display is
// named, the build has it and no script is given, else the headless one reading VENDORA_UI_SCRIPT and
// writing PNG snapshots to VENDORA_UI_SNAPSHOTS), the transcript in VENDORA_UI_TRANSCRIPT (standard error
// when unset in a headless run), and the message window that start-up creates.

#include "archive/ExtractionUi.h"
#include "dialogs/DialogBackend.h"

#include <memory>

namespace vendora {

struct LinuxWindowSet {
    std::unique_ptr<DialogBackend> Dialogs;
    std::unique_ptr<ExtractionUi> Progress;
};

// Throws InputScriptError (an InputSourceError) for a script that cannot be read or holds a wrong line.
LinuxWindowSet CreateLinuxWindows();

} // namespace vendora
