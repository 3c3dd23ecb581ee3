#pragma once
// What the installer's run works with, handed to it by the program that composes the run, as a document
// renderer is handed its container: the machine (files, clock, shell, registry, shortcuts), the dialogs
// (message window, waiting window, message pump), the extraction's progress window and the run's log. The
// sequence reaches nothing process-wide; it hands each step what that step uses.

#include "archive/ExtractionUi.h"
#include "dialogs/DialogBackend.h"
#include "installer/InstallLog.h"
#include "platform/Platform.h"

namespace vendora {

struct InstallerHost {
    Platform& Machine;
    DialogBackend& Dialogs;
    ExtractionUi& Progress;
    InstallLog& Log;
};

} // namespace vendora
