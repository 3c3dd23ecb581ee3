#pragma once
// The installer's windows on a Linux host: the FreeType text engine, the window back end (X11 when a
// display is named and the build has it, else the headless one reading VENDORA_UI_SCRIPT and writing
// PNG snapshots to VENDORA_UI_SNAPSHOTS), the records in VENDORA_UI_TRANSCRIPT, and the message window
// that start-up creates.

#include "archive/ExtractionUi.h"
#include "dialogs/DialogBackend.h"

#include <memory>

namespace vendora {

struct HostWindowSet {
    std::unique_ptr<DialogBackend> Dialogs;
    std::unique_ptr<ExtractionUi> Progress;
};

// Throws InputScriptError (an InputSourceError) for a script that cannot be read or holds a wrong line.
HostWindowSet CreateHostWindows();

} // namespace vendora
